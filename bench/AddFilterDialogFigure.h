#pragma once
// The Add Filter dialog from its creation until its tree is filled, opened by
// the manager window's Add command as the user opens it.

#include <windows.h>

#include "Stopwatch.h"

struct DialogOpening
{
    Sample filled;   // from the Add command until the dialog's modal loop first waits
    Sample teardown; // from then until the dialog is gone and Add has returned
    int treeItems = 0;
    bool opened = false;
};

// Sends Add to the manager window; the dialog is cancelled as soon as its
// initialisation has returned, so Add copies nothing.
DialogOpening OpenAddFilterDialog(HWND managerWindow);
