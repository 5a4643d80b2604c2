#include "ZarvFMgrDlg.h"

#include <dshow.h>

#include <utility>

#include "AboutBox.h"
#include "AddFilterDlg.h"
#include "AppConstants.h"
#include "FilterEnumeration.h"
#include "FilterRegistration.h"
#include "IconPosition.h"
#include "PlatformCalls.h"
#include "UniqueHandle.h"
#include "VendorCategories.h"
#include "WaitCursor.h"
#include "WinApp.h"
#include "resource.h"

namespace {

constexpr DWORD_PTR kNoItemData = static_cast<DWORD_PTR>(LB_ERR);

HINSTANCE ResourceModule() noexcept
{
    const CWinApp* app = CWinApp::GetApp();
    return app ? app->m_hInstance : ::GetModuleHandleA(nullptr);
}

// The CLSID copy that an entry carries, or null.
CLSID* EntryClsid(const CListBox& list, int index) noexcept
{
    const DWORD_PTR data = list.GetItemData(index);
    return data == kNoItemData ? nullptr : reinterpret_cast<CLSID*>(data);
}

// The CLSID of the selected entry, or null when nothing is selected.
const CLSID* SelectedClsid(const CListBox& list) noexcept
{
    const int index = list.GetCurSel();
    return index == LB_ERR ? nullptr : EntryClsid(list, index);
}

// Adds an entry that carries its own copy of the CLSID.
// NOLINTBEGIN(clang-analyzer-cplusplus.NewDeleteLeaks): the analyzer loses the
// copy once its address is in the entry's data word; ClearList frees it. When the copy or the
// entry cannot be made, nothing is added and nothing is kept.
void AddListEntry(CListBox& list, const NamedClsid& entry) noexcept
{
    UniqueClsidCopy copy = MakeClsidCopy(entry.clsid);
    if (!copy)
        return;
    const int index = list.AddString(entry.name.c_str());
    if (index < 0)
        return;
    if (list.SetItemData(index, reinterpret_cast<DWORD_PTR>(copy.get())) == LB_ERR)
    {
        list.DeleteString(index);
        return;
    }
    copy.release(); // the entry owns it now
}
// NOLINTEND(clang-analyzer-cplusplus.NewDeleteLeaks)

// The program's icon, square, at the size the system metric gives for the DPI:
// the icon holds an image drawn for each size that a display scale of 100 to
// 200 % asks for, and the platform scales the nearest one for any other. Empty
// when it cannot be loaded.
UniqueIcon LoadProgramIcon(int metric, UINT dpi) noexcept
{
    const int size = ::GetSystemMetricsForDpi(metric, dpi);
    return UniqueIcon(static_cast<HICON>(::LoadImageA(ResourceModule(), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

// The entry under a point of the list's client area, or LB_ERR over the part
// of the list below its last entry.
int EntryAt(const CListBox& list, POINT point) noexcept
{
    BOOL outside = FALSE;
    const int index = list.ItemFromPoint(point, outside);
    RECT entry = {};
    if (outside || list.GetItemRect(index, entry) == LB_ERR || !::PtInRect(&entry, point))
        return LB_ERR;
    return index;
}

// Frees every entry's CLSID copy and empties the list.
void ClearList(CListBox& list) noexcept
{
    for (int index = 0, count = list.GetCount(); index < count; ++index)
    {
        const UniqueClsidCopy copy(EntryClsid(list, index)); // freed as it goes
    }
    list.ResetContent();
}

} // namespace

CZarvFMgrDlg::CZarvFMgrDlg() noexcept : CDialog(IDD_FMGR_DIALOG)
{
}

// The services and the CLSID copies were released at WM_DESTROY.
CZarvFMgrDlg::~CZarvFMgrDlg() = default;

MessageTable<CDialog::MessageMapEntry> CZarvFMgrDlg::GetMessageMap() const
{
    static const MessageMapEntry entries[] = {
        MessageHandler(WM_SYSCOMMAND, &CZarvFMgrDlg::OnSysCommand),
        MessageHandler(WM_PAINT, &CZarvFMgrDlg::OnPaint),
        MessageHandler(WM_QUERYDRAGICON, &CZarvFMgrDlg::OnQueryDragIcon),
        MessageHandler(WM_DPICHANGED, &CZarvFMgrDlg::OnDpiChanged),
        CommandHandler(LBN_SELCHANGE, IDC_CATEGORY_LIST, &CZarvFMgrDlg::OnSelChangeCategories),
        MessageHandler(WM_DESTROY, &CZarvFMgrDlg::OnDestroy),
        CommandHandler(BN_CLICKED, IDC_ADD, &CZarvFMgrDlg::OnAddFilter),
        CommandHandler(LBN_SELCHANGE, IDC_FILTER_LIST, &CZarvFMgrDlg::OnSelChangeFilters),
        CommandHandler(BN_CLICKED, IDC_REMOVE, &CZarvFMgrDlg::OnRemoveFilter),
        NotifyHandler(TTN_GETDISPINFOA, IDC_FILTER_LIST, &CZarvFMgrDlg::OnGetFilterTip),
        MessageHandler(WM_SETCURSOR, &CZarvFMgrDlg::OnSetCursor),
    };
    return entries;
}

void CZarvFMgrDlg::DoDataExchange(CDataExchange& dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FILTER_LIST, m_listFilters);
    DDX_Control(dx, IDC_CATEGORY_LIST, m_listCategories);
}

BOOL CZarvFMgrDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    AppendAboutItem();
    SetIcons(::GetDpiForWindow(m_hWnd));

    if (!CreateServices())
    {
        EndDialog(kStartFailed);
        return FALSE;
    }
    for (const NamedClsid& entry : CreateVendorCategories(m_pFilterMapper.get()))
        AddCategoryEntry(entry);
    CreateFilterTip();
    return TRUE; // the focus goes to the first tab stop, the category list
}

void CZarvFMgrDlg::AppendAboutItem()
{
    const HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
    if (!menu)
        return;
    char text[kMenuTextCapacity];
    if (::LoadStringA(ResourceModule(), IDS_ABOUTBOX, text, ARRAYSIZE(text)) <= 0)
        return;
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
}

// Icons of the program's own at the sizes the window's DPI asks for, each
// destroyed once the window holds its successor.
void CZarvFMgrDlg::SetIcons(UINT dpi)
{
    UniqueIcon big = LoadProgramIcon(SM_CXICON, dpi);
    UniqueIcon small = LoadProgramIcon(SM_CXSMICON, dpi);
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    m_hIcon = std::move(big);
    m_hSmallIcon = std::move(small);
}

// The device enumerator first: without it the filter mapper is not attempted.
bool CZarvFMgrDlg::CreateServices()
{
    if (FAILED(Platform().coCreateInstance(CLSID_SystemDeviceEnum, nullptr, kServiceClassContext,
                                           IID_ICreateDevEnum, m_pDevEnum.put_void())))
        return false;
    return SUCCEEDED(Platform().coCreateInstance(CLSID_FilterMapper2, nullptr, kServiceClassContext,
                                                 IID_IFilterMapper2, m_pFilterMapper.put_void()));
}

// One tool, the whole filter list, whose text the window gives as the tip shows.
void CZarvFMgrDlg::CreateFilterTip()
{
    m_hFilterTip = ::CreateWindowExA(
        WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, ResourceModule(), nullptr);
    if (!m_hFilterTip)
        return;
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_listFilters.m_hWnd);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    ::SendMessageA(m_hFilterTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SetTipWidth(m_hFilterTip, ::GetDpiForWindow(m_hWnd));
}

void CZarvFMgrDlg::AddFilterEntry(const NamedClsid& entry)
{
    AddListEntry(m_listFilters, entry);
}

void CZarvFMgrDlg::AddCategoryEntry(const NamedClsid& entry)
{
    AddListEntry(m_listCategories, entry);
}

void CZarvFMgrDlg::ClearFilterList()
{
    ClearList(m_listFilters);
    ::EnableWindow(GetDlgItem(IDC_REMOVE), FALSE);
}

void CZarvFMgrDlg::ClearCategoryList()
{
    ClearList(m_listCategories);
    ::EnableWindow(GetDlgItem(IDC_ADD), FALSE);
}

// The caller obtains and releases the enumerator; null lists nothing.
void CZarvFMgrDlg::FillFilterList(IEnumMoniker* enumerator)
{
    // The refill disables Remove, and a disabled window loses the focus to no
    // one: the focus moves to the list first.
    if (::GetFocus() == GetDlgItem(IDC_REMOVE))
        GotoDlgCtrl(m_listFilters.m_hWnd);
    // A tip shown names an entry that goes now.
    ::SendMessageA(m_hFilterTip, TTM_POP, 0, 0);
    // Painted once, when the list is full, rather than after every entry.
    m_listFilters.SetRedraw(FALSE);
    ClearFilterList();
    if (enumerator)
        EnumerateCategoryFilters(enumerator, [this](const NamedClsid& entry) { AddFilterEntry(entry); });
    m_listFilters.SetRedraw(TRUE);
    m_listFilters.Invalidate();
}

// Lists the category's filters afresh; false, with the list left as it was,
// when the category's enumerator cannot be obtained.
bool CZarvFMgrDlg::ShowCategoryFilters(REFCLSID category)
{
    if (!m_pDevEnum)
        return false;
    const CWaitCursor busy;          // a large category takes a while to list
    ComPtr<IEnumMoniker> enumerator; // stays null for a category without members
    if (FAILED(m_pDevEnum->CreateClassEnumerator(category, enumerator.put(), 0)))
        return false;
    m_clsidListed = category;
    FillFilterList(enumerator.get());
    return true;
}

void CZarvFMgrDlg::OnSelChangeCategories()
{
    const CLSID* category = SelectedClsid(m_listCategories);
    if (!category || !ShowCategoryFilters(*category))
        return;
    ::EnableWindow(GetDlgItem(IDC_ADD), TRUE);
}

void CZarvFMgrDlg::OnSelChangeFilters()
{
    ::EnableWindow(GetDlgItem(IDC_REMOVE), TRUE);
}

// Copies the filter chosen in the Add Filter dialog into the selected category
// and, once it is written, lists that category again.
void CZarvFMgrDlg::OnAddFilter()
{
    CAddFilterDlg dialog;
    const INT_PTR result = dialog.DoModal();
    // Back on Add as the default button, so that Enter opens the dialog again
    // rather than pressing Exit.
    GotoDlgCtrl(GetDlgItem(IDC_ADD));
    if (result != IDOK)
        return;                                              // nothing is read, written or refreshed
    const CLSID* selected = SelectedClsid(m_listCategories); // read after the dialog has closed
    if (!selected)
        return;
    const CLSID target = *selected;
    if (AddFilterToCategory(dialog.m_clsidCategory, dialog.m_clsidFilter, target) != ERROR_SUCCESS)
        return; // no refresh, although part of the key may have been written
    ShowCategoryFilters(target);
}

// Removes the selected filter from the category whose filters the list shows,
// then lists that category again, whether or not the key was deleted.
void CZarvFMgrDlg::OnRemoveFilter()
{
    const CLSID* filter = SelectedClsid(m_listFilters);
    if (!filter)
        return;
    const CLSID category = m_clsidListed;
    if (RemoveFilterFromCategory(category, *filter) < 0)
        return; // no key path: nothing was deleted
    ShowCategoryFilters(category);
}

bool CZarvFMgrDlg::OnSysCommand(WPARAM wParam, LPARAM, LRESULT&)
{
    if ((wParam & kSysCommandMask) != IDM_ABOUTBOX)
        return false; // move, close and the rest: the default handling
    ShowAboutBox(m_hWnd, kAboutBoxTitle);
    return true;
}

// Minimised, the window draws its icon centred in its client area.
bool CZarvFMgrDlg::OnPaint(WPARAM, LPARAM, LRESULT&)
{
    if (!::IsIconic(m_hWnd))
        return false; // the default dialog painting
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(m_hWnd, &paint);
    ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const UINT dpi = ::GetDpiForWindow(m_hWnd);
    const int width = ::GetSystemMetricsForDpi(SM_CXICON, dpi);
    const int height = ::GetSystemMetricsForDpi(SM_CYICON, dpi);
    const POINT at = CenteredIconPosition(client, width, height);
    ::DrawIconEx(dc, at.x, at.y, m_hIcon.get(), width, height, 0, nullptr, DI_NORMAL);
    ::EndPaint(m_hWnd, &paint);
    return true;
}

bool CZarvFMgrDlg::OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result)
{
    result = reinterpret_cast<LRESULT>(m_hIcon.get());
    return true;
}

// The dialog manager scales the window, its controls and its font; the icons
// and the tips' width follow.
bool CZarvFMgrDlg::OnDpiChanged(WPARAM wParam, LPARAM, LRESULT&)
{
    SetIcons(LOWORD(wParam));
    SetTipWidth(m_hFilterTip, LOWORD(wParam));
    return false;
}

// The tip of the entry under the pointer at its last move; over the part of
// the list below its last entry, none.
void CZarvFMgrDlg::OnGetFilterTip(NMHDR* header, LRESULT* result)
{
    *result = 0;
    const CLSID* filter = m_nTipEntry == LB_ERR ? nullptr : EntryClsid(m_listFilters, m_nTipEntry);
    m_szFilterTip[0] = '\0';
    if (filter)
        FormatFilterTip(*filter, TipLines::ClsidAndServer, m_szFilterTip, kTipTextCapacity);
    reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText = m_szFilterTip;
}

// The list tells its dialog of each move of the pointer over it, and of each
// button pressed there, as it asks which cursor to show (WM_SETCURSOR): the
// tooltip is handed the same, and a move onto another entry, or off the
// entries, takes the tip away. It comes back after the usual pause, with the
// text of what is under the pointer then. The cursor is set as usual.
bool CZarvFMgrDlg::OnSetCursor(WPARAM wParam, LPARAM lParam, LRESULT&)
{
    const UINT mouseMessage = HIWORD(lParam);
    if (reinterpret_cast<HWND>(wParam) != m_listFilters.m_hWnd || !mouseMessage)
        return false;
    // Where the pointer is now: the list asks before its mouse message is
    // retrieved, so the position of the last message retrieved lags behind.
    POINT screen = {};
    ::GetCursorPos(&screen);
    POINT at = screen;
    ::ScreenToClient(m_listFilters.m_hWnd, &at);
    if (mouseMessage == WM_MOUSEMOVE)
    {
        const int entry = EntryAt(m_listFilters, at);
        if (entry != m_nTipEntry)
            ::SendMessageA(m_hFilterTip, TTM_POP, 0, 0);
        m_nTipEntry = entry;
    }
    MSG relayed = {m_listFilters.m_hWnd,
                   mouseMessage,
                   0,
                   MAKELPARAM(at.x, at.y),
                   static_cast<DWORD>(::GetMessageTime()),
                   screen};
    ::SendMessageA(m_hFilterTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    return false;
}

bool CZarvFMgrDlg::OnDestroy(WPARAM, LPARAM, LRESULT&)
{
    m_hFilterTip = nullptr; // an owned window, gone before its owner
    ClearFilterList();
    ClearCategoryList();
    m_pDevEnum.reset();
    m_pFilterMapper.reset();
    return false; // the default destroy handling follows
}
