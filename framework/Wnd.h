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

    // Turns the window's redrawing off and on, around many changes in a row.
    void SetRedraw(BOOL bRedraw) noexcept { ::SendMessageA(m_hWnd, WM_SETREDRAW, bRedraw, 0); }
    // Has the whole window painted afresh.
    void Invalidate() noexcept { ::InvalidateRect(m_hWnd, nullptr, TRUE); }

    HWND m_hWnd = nullptr; // null while no window is attached
};
