#include "ModalRun.h"

#include <algorithm>
#include <utility>

namespace {

constexpr UINT kTickMs = USER_TIMER_MINIMUM;
constexpr int kMaxRepeats = 200;

struct Run
{
    std::function<HWND()> find;
    std::vector<ModalStep> steps;
    ModalRun outcome = {};
    UINT_PTR timer = 0;
    int repeats = 0;
    bool repeat = false;
    bool cancelled = false;
};

// Runs in progress, innermost last: a step may start a run of its own.
std::vector<Run*> g_runs;
Run* g_stepping = nullptr;

void Advance(Run& run, HWND dialog)
{
    if (run.outcome.stepsRun < run.steps.size())
    {
        run.outcome.dialog = dialog;
        Run* outer = std::exchange(g_stepping, &run);
        run.steps[run.outcome.stepsRun](dialog);
        g_stepping = outer;
        if (!std::exchange(run.repeat, false))
            ++run.outcome.stepsRun;
        return;
    }
    run.outcome.leftOpen = true;
    if (!std::exchange(run.cancelled, true))
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    else
        ::EndDialog(dialog, kEndedByRun);
}

// One-shot: while a step runs, a modal loop that it starts must not tick this
// run's steps.
void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    const auto found =
        std::find_if(g_runs.begin(), g_runs.end(), [timer](const Run* run) { return run->timer == timer; });
    if (found == g_runs.end())
        return;
    Run& run = **found;
    run.timer = 0;
    const HWND dialog = run.find();
    if (dialog && ::IsWindowVisible(dialog)) // the loop shows it once its queue first runs empty
        Advance(run, dialog);
    run.timer = ::SetTimer(nullptr, 0, kTickMs, &Tick); // the run lasts until its loop has ended
}

} // namespace

HWND FindOwnedWindow(HWND owner, const char* windowClass, bool shownOnly)
{
    HWND window = nullptr; // the top-level windows of the class, in turn
    while ((window = ::FindWindowExA(nullptr, window, windowClass, nullptr)) != nullptr)
        if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId() &&
            ::GetWindow(window, GW_OWNER) == owner && (!shownOnly || ::IsWindowVisible(window)))
            return window;
    return nullptr;
}

HWND FindOwnedDialog(HWND owner)
{
    return FindOwnedWindow(owner, "#32770", true);
}

ModalRun RunInsideModal(const std::function<HWND()>& find, std::vector<ModalStep> steps,
                        const std::function<INT_PTR()>& enter)
{
    Run run{find, std::move(steps)};
    g_runs.push_back(&run);
    run.timer = ::SetTimer(nullptr, 0, kTickMs, &Tick);
    run.outcome.result = enter();
    g_runs.erase(std::find(g_runs.begin(), g_runs.end(), &run));
    if (run.timer)
        ::KillTimer(nullptr, run.timer);
    return run.outcome;
}

ModalRun RunInsideModal(CDialog& dialog, std::vector<ModalStep> steps)
{
    return RunInsideModal([&dialog] { return dialog.m_hWnd; }, std::move(steps),
                          [&dialog] { return dialog.DoModal(); });
}

bool RunStepAgain()
{
    if (!g_stepping || g_stepping->repeats >= kMaxRepeats)
        return false;
    ++g_stepping->repeats;
    g_stepping->repeat = true;
    return true;
}
