#pragma once
// The floor of the Add Filter dialog's tree: a bare tree view with the same
// styles, in a hidden window as the dialog's is while it initialises, taking
// the walk's items by sorted insertion (TVM_INSERTITEMA with TVI_SORT), each
// with its text in 8-bit form and a private copy of its CLSID as data.

#include <windows.h>
#include <commctrl.h>

#include "BareWalk.h"

class BareTree : public BareWalkVisitor
{
public:
    BareTree();
    ~BareTree();
    BareTree(const BareTree&) = delete;
    BareTree& operator=(const BareTree&) = delete;

    bool IsOpen() const { return m_tree != nullptr; }

    void* Category(const wchar_t* name, REFCLSID clsid) override;
    void Filter(void* parent, const wchar_t* name, REFCLSID clsid) override;

    // Frees every item's copy and deletes every item.
    void Clear();

    int ItemCount() const;

private:
    HTREEITEM Insert(HTREEITEM parent, const char* text, REFCLSID clsid);
    void FreeItems(HTREEITEM item);

    HWND m_frame = nullptr;
    HWND m_tree = nullptr;
};
