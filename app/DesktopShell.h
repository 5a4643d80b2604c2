#pragma once
// Opening a document or address through the desktop shell (Explorer) rather
// than from this process, so that the program it starts runs as the signed-in
// desktop user, with the desktop's rights and working folder, not with ours.

#include <windows.h>

// Asks the desktop's shell to open `file` (8-bit text in the ANSI code page)
// with `verb` and the show command `show`. Fails without opening anything when
// there is no desktop shell to ask (none running, or another shell).
HRESULT ShellExecuteFromDesktop(LPCSTR file, LPCSTR verb, INT show) noexcept;
