#include "ModalScript.h"

#include <utility>

namespace {

struct PendingScript
{
    CDialog* dialog = nullptr;
    std::function<void(HWND)> script;
};

PendingScript& Pending()
{
    static PendingScript pending;
    return pending;
}

void CALLBACK RunScript(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    PendingScript pending = std::move(Pending());
    Pending() = PendingScript();
    if (pending.dialog && pending.script)
        pending.script(pending.dialog->m_hWnd);
}

} // namespace

INT_PTR RunInsideModal(CDialog& dialog, std::function<void(HWND dialogWindow)> script)
{
    Pending().dialog = &dialog;
    Pending().script = std::move(script);
    if (!::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &RunScript))
        return -1;
    return dialog.DoModal();
}
