#pragma once
// The window handle that every window object of the framework carries: a
// dialog, or a control attached to one of its items.

#include <windows.h>

class CWnd
{
public:
    CWnd() noexcept = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const noexcept { return m_hWnd; }

    HWND m_hWnd = nullptr; // null while no window is attached
};
