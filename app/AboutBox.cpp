#include "AboutBox.h"

#include <strsafe.h>

#include "AboutBoxConstants.h"
#include "DesktopShell.h"
#include "PlatformCalls.h"
#include "resource.h"

namespace {

HINSTANCE TemplateModule(HWND owner)
{
    HINSTANCE module = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    if (!module)
        module = reinterpret_cast<HINSTANCE>(::GetClassLongPtrA(owner, GCLP_HMODULE));
    return module;
}

BOOL OnInitDialog(HWND box, LPCSTR title)
{
    CenterOnParent(box);
    // A title too long for the buffer is cut; the line is always terminated.
    char productLine[about::kProductLineSize] = {};
    ::StringCchPrintfA(productLine, about::kProductLineSize, about::kProductLineFormat, about::kMakerName,
                       title, about::kEditionBits);
    ::SetDlgItemTextA(box, IDC_ABOUT_TITLE, productLine);
    return TRUE;
}

void OnLinkClicked(HWND box)
{
    char link[about::kLinkTextSize] = {};
    ::GetDlgItemTextA(box, IDC_ABOUT_LINK, link, static_cast<int>(about::kLinkTextSize));
    // The desktop's shell opens it, so that the browser runs as the desktop's
    // user and not with this program's rights; without a desktop shell, the
    // program opens it itself. Whether either could changes nothing: the box
    // stays open.
    if (FAILED(ShellExecuteFromDesktop(link, about::kLinkVerb, about::kLinkShowCommand)))
        Platform().shellExecute(box, about::kLinkVerb, link, nullptr, nullptr, about::kLinkShowCommand);
}

BOOL OnCommand(HWND box, WORD id, WORD notification)
{
    if (id == IDOK || id == IDCANCEL)
    {
        ::EndDialog(box, 0);
        return TRUE;
    }
    if (id == IDC_ABOUT_LINK && notification == STN_CLICKED)
    {
        OnLinkClicked(box);
        return TRUE;
    }
    return FALSE;
}

// A contrast theme's own colour for links while one is on; otherwise the blue.
COLORREF LinkTextColour()
{
    HIGHCONTRASTA contrast = {sizeof contrast, 0, nullptr};
    const bool contrastOn =
        Platform().systemParametersInfo(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON);
    return contrastOn ? ::GetSysColor(about::kContrastLinkColour) : about::kLinkTextColour;
}

INT_PTR OnCtlColorStatic(HWND box, HDC dc, HWND control)
{
    if (control != ::GetDlgItem(box, IDC_ABOUT_LINK))
        return FALSE;
    ::SetTextColor(dc, LinkTextColour());
    ::SetBkMode(dc, about::kLinkBackgroundMode);
    return reinterpret_cast<INT_PTR>(::GetSysColorBrush(about::kLinkBackgroundColour));
}

} // namespace

void ShowAboutBox(HWND owner, LPCSTR title)
{
    ::DialogBoxParamA(TemplateModule(owner), MAKEINTRESOURCEA(IDD_ABOUT), owner, &AboutDlgProc,
                      reinterpret_cast<LPARAM>(title));
}

INT_PTR CALLBACK AboutDlgProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_INITDIALOG:
        return OnInitDialog(box, reinterpret_cast<LPCSTR>(lParam));
    case WM_COMMAND:
        return OnCommand(box, LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(box, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    default:
        return FALSE;
    }
}

void CenterOnParent(HWND window)
{
    const HWND parent = ::GetParent(window);
    if (!parent)
        return;

    RECT client = {};
    RECT own = {};
    ::GetClientRect(parent, &client);
    ::GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;

    POINT centre = {(client.right - client.left) / 2, (client.bottom - client.top) / 2};
    ::ClientToScreen(parent, &centre);
    // Both divisions truncate toward zero: an odd size leaves the window half a
    // pixel right of, or below, the exact centre.
    ::MoveWindow(window, centre.x + width / -2, centre.y + height / -2, width, height, FALSE);
}
