#include "AddFilterDialogFigure.h"

#include <commctrl.h>

#include "resource.h"

namespace {

// The dialog being measured: found as it is created, cancelled by a message
// posted then, which its modal loop fetches only after WM_INITDIALOG returned.
struct Measurement
{
    HWND dialog = nullptr;
    Stopwatch watch;
    DialogOpening opening;
};

Measurement* g_measurement = nullptr;

bool IsDialogWindow(HWND window)
{
    wchar_t className[16] = L"";
    ::GetClassNameW(window, className, 16);
    return lstrcmpW(className, L"#32770") == 0;
}

LRESULT CALLBACK OnCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && g_measurement && !g_measurement->dialog)
    {
        const HWND window = reinterpret_cast<HWND>(wParam);
        if (IsDialogWindow(window))
        {
            g_measurement->dialog = window;
            ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK OnFetch(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && g_measurement && message &&
        message->hwnd == g_measurement->dialog && message->message == WM_COMMAND &&
        g_measurement->opening.filled.wall == 0.0)
    {
        g_measurement->opening.filled = g_measurement->watch.Elapsed();
        g_measurement->opening.treeItems = static_cast<int>(
            ::SendMessageW(::GetDlgItem(g_measurement->dialog, IDC_FILTER_TREE), TVM_GETCOUNT, 0, 0));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

DialogOpening OpenAddFilterDialog(HWND managerWindow)
{
    Measurement measurement;
    const DWORD thread = ::GetCurrentThreadId();
    const HHOOK creation = ::SetWindowsHookExW(WH_CBT, &OnCreation, nullptr, thread);
    const HHOOK fetching = ::SetWindowsHookExW(WH_GETMESSAGE, &OnFetch, nullptr, thread);
    g_measurement = &measurement;
    measurement.watch.Restart();
    ::SendMessageW(managerWindow, WM_COMMAND, MAKEWPARAM(IDC_ADD, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(managerWindow, IDC_ADD)));
    const Sample total = measurement.watch.Elapsed();
    g_measurement = nullptr;
    ::UnhookWindowsHookEx(fetching);
    ::UnhookWindowsHookEx(creation);

    DialogOpening& opening = measurement.opening;
    opening.opened = measurement.dialog != nullptr && opening.filled.wall > 0.0;
    opening.teardown = total - opening.filled;
    return opening;
}
