#include "DesktopShell.h"

#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>

#include "ComPtr.h"
#include "PlatformCalls.h"
#include "UniqueHandle.h"

namespace {

// 8-bit text of the ANSI code page as a BSTR; empty when memory runs out.
UniqueBstr AnsiBstr(LPCSTR text) noexcept
{
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    UniqueBstr wide(length > 0 ? ::SysAllocStringLen(nullptr, static_cast<UINT>(length - 1)) : nullptr);
    if (wide)
        ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.get(), length);
    return wide;
}

// The shell's automation object of the desktop window: the desktop's folder
// view, found through the shell's list of its windows.
HRESULT DesktopShellDispatch(ComPtr<IShellDispatch2>& shell) noexcept
{
    ComPtr<IShellWindows> windows;
    HRESULT hr = Platform().coCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                             IID_IShellWindows, windows.put_void());
    if (FAILED(hr))
        return hr;
    VARIANT empty = {}; // VT_EMPTY: the desktop is found by its class alone
    long window = 0;
    ComPtr<IDispatch> desktop;
    hr = windows->FindWindowSW(&empty, &empty, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.put());
    if (hr != S_OK || !desktop)
        return FAILED(hr) ? hr : E_FAIL; // S_FALSE: no desktop window
    ComPtr<IServiceProvider> services;
    if (FAILED(hr = desktop->QueryInterface(IID_IServiceProvider, services.put_void())))
        return hr;
    ComPtr<IShellBrowser> browser;
    if (FAILED(hr = services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.put_void())))
        return hr;
    ComPtr<IShellView> view;
    if (FAILED(hr = browser->QueryActiveShellView(view.put())))
        return hr;
    ComPtr<IDispatch> background;
    if (FAILED(hr = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.put_void())))
        return hr;
    ComPtr<IShellFolderViewDual> folderView;
    if (FAILED(hr = background->QueryInterface(IID_IShellFolderViewDual, folderView.put_void())))
        return hr;
    ComPtr<IDispatch> application;
    if (FAILED(hr = folderView->get_Application(application.put())))
        return hr;
    return application->QueryInterface(IID_IShellDispatch2, shell.put_void());
}

} // namespace

HRESULT ShellExecuteFromDesktop(LPCSTR file, LPCSTR verb, INT show) noexcept
{
    ComPtr<IShellDispatch2> shell;
    HRESULT hr = DesktopShellDispatch(shell);
    if (FAILED(hr))
        return hr;
    const UniqueBstr fileText = AnsiBstr(file);
    const UniqueBstr verbText = AnsiBstr(verb);
    if (!fileText || !verbText)
        return E_OUTOFMEMORY;
    const VARIANT none = {}; // VT_EMPTY: no parameters, no working folder
    VARIANT operation = {};
    V_VT(&operation) = VT_BSTR;
    V_BSTR(&operation) = verbText.get();
    VARIANT showCommand = {};
    V_VT(&showCommand) = VT_I4;
    V_I4(&showCommand) = show;
    return shell->ShellExecute(fileText.get(), none, none, operation, showCommand);
}
