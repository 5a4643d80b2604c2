#pragma once
// Drives framework dialogs in-process through real messages to their controls.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Dialog.h"

// Runs the dialog modally, as the application's main window, and runs the
// steps inside its modal loop once the window is up. A window that the steps
// leave open is then cancelled. Returns the modal result; fails the test when
// the window never came up to run the steps.
INT_PTR RunModal(CDialog& dialog, const std::function<void(HWND)>& steps);

// Runs the dialog modally, as the application's main window, where it is to
// end while it initialises. Fails the test when the window comes up.
INT_PTR RunModalEndingAtStart(CDialog& dialog);

// A click on a list entry, or on a push button, as the mouse would make it.
void ClickListItem(HWND list, int index);
void ClickButton(HWND button);

// The texts of a list box, top to bottom; the index of the first entry with
// this text, or -1.
std::vector<std::string> ListTexts(HWND list);
int FindListText(HWND list, const std::string& text);

// The CLSID that a list entry's data word refers to (null for none).
const CLSID* ListEntryClsid(HWND list, int index);

bool IsItemEnabled(HWND dialog, int id);
