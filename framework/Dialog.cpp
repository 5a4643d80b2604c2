// The dispatch path of every framework dialog: the platform's dialog manager
// calls DialogProc, which finds the dialog object kept in the window and hands
// the message to Dispatch. Dispatch searches the dialog's message table, then
// the framework's defaults (initialisation, OK, Cancel), then routes a command
// that nothing handled to the application's command table. A message nobody
// handles goes back to the dialog manager's default handling.
#include "Dialog.h"

#include <commctrl.h>

#include "WinApp.h"

namespace {

// Messages whose result the dialog procedure returns itself; every other
// result goes through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) noexcept
{
    switch (message)
    {
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return true;
    default:
        return false;
    }
}

// The id of the control a notification comes from. A tooltip names a tool
// that is a window by the window's handle: such a tool is its control.
UINT_PTR NotifyingControl(const NMHDR& header) noexcept
{
    const bool toolIsWindow = (header.code == TTN_GETDISPINFOA &&
                               (reinterpret_cast<const NMTTDISPINFOA&>(header).uFlags & TTF_IDISHWND)) ||
                              (header.code == TTN_GETDISPINFOW &&
                               (reinterpret_cast<const NMTTDISPINFOW&>(header).uFlags & TTF_IDISHWND));
    if (toolIsWindow)
        return static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(header.idFrom)));
    return header.idFrom;
}

bool Matches(const CDialog::MessageMapEntry& entry, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (entry.message != message)
        return false;
    if (message == WM_COMMAND)
        return entry.code == HIWORD(wParam) && entry.id == LOWORD(wParam);
    if (message == WM_NOTIFY)
    {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        return header && entry.code == header->code && entry.id == NotifyingControl(*header);
    }
    return true;
}

} // namespace

CDialog::CDialog(UINT nIDTemplate) noexcept : m_nIDTemplate(nIDTemplate)
{
}

CDialog::~CDialog()
{
    Detach();
}

INT_PTR CDialog::DoModal()
{
    CWinApp* app = CWinApp::GetApp();
    HWND owner = nullptr;
    if (app && app->m_pMainWnd && app->m_pMainWnd != this)
        owner = app->m_pMainWnd->m_hWnd;
    const HINSTANCE module = app ? app->m_hInstance : ::GetModuleHandleA(nullptr);
    const INT_PTR result = ::DialogBoxParamA(module, MAKEINTRESOURCEA(m_nIDTemplate), owner,
                                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    // Also when the window could not be created at all: the designation must
    // not outlive the run.
    if (app)
        app->ReleaseMainWindow(this);
    return result;
}

CDialog* CDialog::FromHandle(HWND hWnd) noexcept
{
    if (!hWnd || ::GetWindowLongPtrA(hWnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&CDialog::DialogProc))
        return nullptr;
    return reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
    {
        // The object comes with the first message it handles and stays in the
        // window until the window's last message.
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = hWnd;
        ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
    }
    CDialog* dialog = FromHandle(hWnd);
    if (!dialog)
        return FALSE; // before WM_INITDIALOG (WM_SETFONT) or after WM_NCDESTROY

    LRESULT result = 0;
    const bool handled = dialog->Dispatch(message, wParam, lParam, result);
    if (message == WM_NCDESTROY)
    {
        dialog->Exchange(false); // the controls are gone with their window
        dialog->Detach();
    }
    if (!handled)
        return FALSE;
    if (ReturnsResultDirectly(message))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

bool CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    for (const MessageMapEntry& entry : GetMessageMap())
    {
        if (!Matches(entry, message, wParam, lParam))
            continue;
        if (entry.onCommand)
        {
            (this->*entry.onCommand)();
            return true;
        }
        if (entry.onNotify)
        {
            (this->*entry.onNotify)(reinterpret_cast<NMHDR*>(lParam), &result);
            return true;
        }
        if ((this->*entry.onMessage)(wParam, lParam, result))
            return true;
        break; // declined: the defaults run
    }
    return DispatchDefault(message, wParam, result);
}

bool CDialog::DispatchDefault(UINT message, WPARAM wParam, LRESULT& result)
{
    if (message == WM_INITDIALOG)
    {
        result = OnInitDialog();
        return true;
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return false;
    switch (LOWORD(wParam))
    {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        {
            CWinApp* app = CWinApp::GetApp();
            return app && app->OnCmdMsg(LOWORD(wParam));
        }
    }
}

void CDialog::Detach() noexcept
{
    if (m_hWnd)
    {
        ::SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        m_hWnd = nullptr;
    }
    if (CWinApp* app = CWinApp::GetApp())
        app->ReleaseMainWindow(this);
}

void CDialog::EndDialog(INT_PTR nResult) noexcept
{
    ::EndDialog(m_hWnd, nResult);
}

HWND CDialog::GetDlgItem(int nID) const noexcept
{
    return ::GetDlgItem(m_hWnd, nID);
}

void CDialog::GotoDlgCtrl(HWND control) noexcept
{
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void CDialog::Exchange(bool attach)
{
    CDataExchange dx(*this, attach);
    DoDataExchange(dx);
}

MessageTable<CDialog::MessageMapEntry> CDialog::GetMessageMap() const
{
    return {};
}

void CDialog::DoDataExchange(CDataExchange&)
{
}

BOOL CDialog::OnInitDialog()
{
    Exchange(true);
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void DDX_Control(CDataExchange& dx, int nIDC, CWnd& control) noexcept
{
    control.m_hWnd = dx.m_attach ? dx.m_dialog.GetDlgItem(nIDC) : nullptr;
}
