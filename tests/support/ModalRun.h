#pragma once
// Runs steps inside a modal loop, on the loop's own thread, as the user would
// act on its dialog: a one-shot thread timer fires once the loop waits for
// input, and each tick runs the next step on the dialog once it is shown. The
// window tests and the scale benchmark drive their dialogs this way. It checks
// nothing itself: it reports what happened.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

#include "Dialog.h"

using ModalStep = std::function<void(HWND dialog)>;

struct ModalRun
{
    INT_PTR result = 0;    // what the modal run returned
    HWND dialog = nullptr; // the dialog the steps ran on; null when none was shown
    std::size_t stepsRun = 0;
    bool leftOpen = false; // still shown after the last step: the run ended it
};

// The result of a dialog that the steps left open and that its Cancel did not end.
constexpr INT_PTR kEndedByRun = -2;

// The top-level window of this class and thread that `owner` owns (only a
// shown one for `shownOnly`), or null; the shown dialog window so owned.
HWND FindOwnedWindow(HWND owner, const char* windowClass, bool shownOnly);
HWND FindOwnedDialog(HWND owner);

// Calls `enter`, which runs a modal loop and returns its result (a DoModal, or
// a message that opens a dialog), and runs the steps inside that loop, one per
// tick, on the shown window that `find` returns. A dialog still shown after the
// last step is sent a click on Cancel, and if that does not end it, ended with
// kEndedByRun.
ModalRun RunInsideModal(const std::function<HWND()>& find, std::vector<ModalStep> steps,
                        const std::function<INT_PTR()>& enter);

// Runs the dialog object modally, the steps on its own window.
ModalRun RunInsideModal(CDialog& dialog, std::vector<ModalStep> steps);

// Called from a step: runs that step again on the next tick, for input that
// reaches the dialog only through its loop. False, and no repeat, once the
// run's steps have waited about two seconds in all.
bool RunStepAgain();
