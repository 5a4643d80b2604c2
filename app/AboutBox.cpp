#include "AboutBox.h"

#include <strsafe.h>

#include <utility>

#include "AboutBoxConstants.h"
#include "DesktopShell.h"
#include "PlatformCalls.h"
#include "UniqueHandle.h"
#include "resource.h"

namespace {

HINSTANCE TemplateModule(HWND owner)
{
    HINSTANCE module = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    if (!module)
        module = reinterpret_cast<HINSTANCE>(::GetClassLongPtrA(owner, GCLP_HMODULE));
    return module;
}

// The logo drawn at the DPI's scale: the 96-DPI logo itself at 96 DPI, and at
// any other DPI a bitmap stretched with halftoning from the rendition nearest
// above. Empty when it cannot be made.
UniqueBitmap DrawLogo(HINSTANCE module, UINT dpi)
{
    const bool larger = dpi > USER_DEFAULT_SCREEN_DPI;
    UniqueBitmap source(static_cast<HBITMAP>(
        ::LoadImageA(module, MAKEINTRESOURCEA(larger ? IDB_ABOUT_LOGO_2X : IDB_ABOUT_LOGO), IMAGE_BITMAP, 0,
                     0, LR_CREATEDIBSECTION)));
    if (!source || dpi == USER_DEFAULT_SCREEN_DPI)
        return source;
    BITMAP sourceSize = {};
    ::GetObjectA(source.get(), sizeof sourceSize, &sourceSize);

    const int width = ::MulDiv(about::kLogoWidth, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    const int height = ::MulDiv(about::kLogoHeight, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    BITMAPINFO format = {};
    format.bmiHeader = {
        sizeof format.bmiHeader, width, -height, 1, about::kLogoBitsPerPixel, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap scaled(::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueMemoryDc from(::CreateCompatibleDC(nullptr));
    const UniqueMemoryDc to(::CreateCompatibleDC(nullptr));
    if (!scaled || !from || !to)
        return UniqueBitmap();
    const HGDIOBJ fromBefore = ::SelectObject(from.get(), source.get());
    const HGDIOBJ toBefore = ::SelectObject(to.get(), scaled.get());
    ::SetStretchBltMode(to.get(), HALFTONE);
    ::SetBrushOrgEx(to.get(), 0, 0, nullptr); // as halftoning requires
    const BOOL drawn = ::StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, sourceSize.bmWidth,
                                    sourceSize.bmHeight, SRCCOPY);
    ::SelectObject(to.get(), toBefore);
    ::SelectObject(from.get(), fromBefore);
    return drawn ? std::move(scaled) : UniqueBitmap();
}

// Puts the bitmap into the logo's control and returns the one it showed. From
// the first bitmap put there on, the control deletes none: the box owns both.
UniqueBitmap ReplaceLogo(HWND box, HBITMAP logo)
{
    return UniqueBitmap(reinterpret_cast<HBITMAP>(::SendDlgItemMessageA(
        box, IDC_ABOUT_LOGO, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo))));
}

// Shows the logo at the DPI; the bitmap it replaces is deleted. Without a new
// one, the logo stays as it was.
void ShowLogoAt(HWND box, UINT dpi)
{
    if (UniqueBitmap logo = DrawLogo(TemplateModule(box), dpi))
        ReplaceLogo(box, logo.release());
}

void FitLogoControl(HWND box)
{
    const HWND control = ::GetDlgItem(box, IDC_ABOUT_LOGO);
    BITMAP logo = {};
    const HGDIOBJ shown = reinterpret_cast<HGDIOBJ>(::SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (shown && ::GetObjectA(shown, sizeof logo, &logo))
        ::SetWindowPos(control, nullptr, 0, 0, logo.bmWidth, logo.bmHeight,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL OnInitDialog(HWND box, LPCSTR title)
{
    // At 96 DPI the template's logo stays, as it is.
    if (const UINT dpi = ::GetDpiForWindow(box); dpi != USER_DEFAULT_SCREEN_DPI)
        ShowLogoAt(box, dpi);
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
    case WM_DPICHANGED:
        // The dialog manager's own handling scales the box, its controls and
        // its font; the logo is drawn afresh, and its control fitted to it once
        // that handling is done.
        ShowLogoAt(box, LOWORD(wParam));
        ::PostMessageA(box, about::kFitLogoMessage, 0, 0);
        return FALSE;
    case about::kFitLogoMessage:
        FitLogoControl(box);
        return TRUE;
    case WM_DESTROY:
        // Whichever bitmap the control shows, the template's own included, is
        // taken back and deleted.
        ReplaceLogo(box, nullptr);
        return FALSE;
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
