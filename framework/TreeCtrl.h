#pragma once
// A tree-view control attached to a dialog item: a thin wrapper over its 8-bit
// messages.

#include "Wnd.h"

#include <commctrl.h>

class CTreeCtrl : public CWnd
{
public:
    // Inserts an item with text only, every other field 0. The new item, or null.
    HTREEITEM InsertItem(LPCSTR text, HTREEITEM parent = TVI_ROOT, HTREEITEM insertAfter = TVI_LAST) noexcept
    {
        TVINSERTSTRUCTA insert = {};
        insert.hParent = parent;
        insert.hInsertAfter = insertAfter;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<LPSTR>(text);
        return reinterpret_cast<HTREEITEM>(
            ::SendMessageA(m_hWnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    // Sets the data word and nothing else.
    BOOL SetItemData(HTREEITEM item, DWORD_PTR data) noexcept
    {
        TVITEMA tvi = {};
        tvi.mask = TVIF_PARAM;
        tvi.hItem = item;
        tvi.lParam = static_cast<LPARAM>(data);
        return static_cast<BOOL>(::SendMessageA(m_hWnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tvi)));
    }
    // 0 for a missing item.
    DWORD_PTR GetItemData(HTREEITEM item) const noexcept
    {
        TVITEMA tvi = {};
        tvi.mask = TVIF_PARAM;
        tvi.hItem = item;
        if (!::SendMessageA(m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvi)))
            return 0;
        return static_cast<DWORD_PTR>(tvi.lParam);
    }
    // TVGN_ROOT, TVGN_CHILD, TVGN_NEXT, TVGN_PARENT, TVGN_CARET and the rest; null when there is none.
    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const noexcept
    {
        return reinterpret_cast<HTREEITEM>(
            ::SendMessageA(m_hWnd, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM GetRootItem() const noexcept { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM item) const noexcept { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const noexcept { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetParentItem(HTREEITEM item) const noexcept { return GetNextItem(item, TVGN_PARENT); }
    HTREEITEM GetSelectedItem() const noexcept { return GetNextItem(nullptr, TVGN_CARET); }
    // The item at a point of the client area, with where on it the point lies
    // (TVHT_ONITEMLABEL, TVHT_ONITEMBUTTON and the rest); null for none.
    HTREEITEM HitTest(POINT point, UINT& flags) const noexcept
    {
        TVHITTESTINFO hit = {};
        hit.pt = point;
        const HTREEITEM item = reinterpret_cast<HTREEITEM>(
            ::SendMessageA(m_hWnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        flags = hit.flags;
        return item;
    }
    // TVE_EXPAND, TVE_COLLAPSE or TVE_TOGGLE.
    BOOL Expand(HTREEITEM item, UINT action) noexcept
    {
        return static_cast<BOOL>(::SendMessageA(m_hWnd, TVM_EXPAND, action, reinterpret_cast<LPARAM>(item)));
    }
    // Deletes the item and its children.
    BOOL DeleteItem(HTREEITEM item) noexcept
    {
        return static_cast<BOOL>(::SendMessageA(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)));
    }
    BOOL DeleteAllItems() noexcept { return DeleteItem(TVI_ROOT); }
    // The tooltip control that shows the tree's tips; null for none.
    HWND GetToolTips() const noexcept
    {
        return reinterpret_cast<HWND>(::SendMessageA(m_hWnd, TVM_GETTOOLTIPS, 0, 0));
    }
};
