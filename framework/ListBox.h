#pragma once
// A list box control attached to a dialog item: a thin wrapper over its 8-bit
// messages.

#include "Wnd.h"

class CListBox : public CWnd
{
public:
    // Index of the new entry (in sorted position for LBS_SORT), or LB_ERR / LB_ERRSPACE.
    int AddString(LPCSTR text) noexcept
    {
        return static_cast<int>(::SendMessageA(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    // Number of entries left, or LB_ERR.
    int DeleteString(int index) noexcept
    {
        return static_cast<int>(::SendMessageA(m_hWnd, LB_DELETESTRING, static_cast<WPARAM>(index), 0));
    }
    // LB_ERR for an index out of range.
    int SetItemData(int index, DWORD_PTR data) noexcept
    {
        return static_cast<int>(
            ::SendMessageA(m_hWnd, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
    }
    // LB_ERR for an index out of range.
    DWORD_PTR GetItemData(int index) const noexcept
    {
        return static_cast<DWORD_PTR>(::SendMessageA(m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    }
    int GetCount() const noexcept { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCOUNT, 0, 0)); }
    // LB_ERR when nothing is selected.
    int GetCurSel() const noexcept { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCURSEL, 0, 0)); }
    void ResetContent() noexcept { ::SendMessageA(m_hWnd, LB_RESETCONTENT, 0, 0); }
    // The entry nearest a point of the client area, and whether the point lies
    // outside the client area.
    int ItemFromPoint(POINT point, BOOL& outside) const noexcept
    {
        const LRESULT hit = ::SendMessageA(m_hWnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
        outside = HIWORD(hit);
        return LOWORD(hit);
    }
    // LB_ERR for an index out of range.
    int GetItemRect(int index, RECT& rect) const noexcept
    {
        return static_cast<int>(::SendMessageA(m_hWnd, LB_GETITEMRECT, static_cast<WPARAM>(index),
                                               reinterpret_cast<LPARAM>(&rect)));
    }
};
