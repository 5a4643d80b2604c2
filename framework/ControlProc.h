#pragma once
// A window procedure of a dialog's own that stands in front of one of its
// controls' procedures: the control's procedure is kept in the control's user
// data, which a control leaves to its owner, and every message the procedure in
// front passes on goes to it. Cheaper per message than the common controls'
// subclass chain, which looks its entries up in the window's properties.

#include <windows.h>

inline void PutProcInFront(HWND control, WNDPROC proc) noexcept
{
    ::SetWindowLongPtrW(control, GWLP_USERDATA, ::GetWindowLongPtrW(control, GWLP_WNDPROC));
    ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

inline LRESULT CallProcBehind(HWND control, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    const WNDPROC behind = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(control, GWLP_USERDATA));
    return ::CallWindowProcW(behind, control, message, wParam, lParam);
}
