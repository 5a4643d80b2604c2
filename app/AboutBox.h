#pragma once
// The About box: a modal window that names the product, shows the maker's logo
// and copyright notice, and opens the maker's web address when it is clicked.

#include <windows.h>

// Runs the About box over owner and returns when it has closed. The title text
// becomes the middle of the product line and must stay valid until then.
void ShowAboutBox(HWND owner, LPCSTR title);

// The dialog procedure of the About box; the initialisation value is the title.
INT_PTR CALLBACK AboutDlgProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// Moves window so that its centre lies on the centre of its parent's client
// area, keeping its size. A window without a parent stays where it is.
void CenterOnParent(HWND window);
