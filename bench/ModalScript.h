#pragma once
// Runs a script inside a dialog's modal run, on the dialog's own thread, as
// the user would act on it: a one-shot thread timer fires once the modal loop
// is waiting for input, and the script runs from it.

#include <functional>

#include "Dialog.h"

// Runs the dialog modally and `script` once inside its modal loop, with the
// dialog's window. The script ends the dialog when it is done. Returns the
// dialog's result.
INT_PTR RunInsideModal(CDialog& dialog, std::function<void(HWND dialogWindow)> script);
