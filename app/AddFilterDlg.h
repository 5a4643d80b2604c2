#pragma once
// The Add Filter dialog: every filter category on the machine as a root item,
// with the filters registered in it as children, both levels sorted by name.
// The user picks a filter; OK records it with the category it was found under.
// The dialog owns the CLSID copy of every tree item and frees them all when its
// window is destroyed. It borrows the manager window's device enumerator.

#include <windows.h>
#include <strmif.h>

#include "Dialog.h"
#include "NamedClsid.h"
#include "TreeCtrl.h"

class CAddFilterDlg : public CDialog
{
public:
    // Without a parent: the owner is the application's main window, the
    // manager window.
    CAddFilterDlg() noexcept;
    ~CAddFilterDlg() override;

    CTreeCtrl m_treeFilters;
    // Meaningful only after the dialog has ended with IDOK: the category item
    // under which the chosen filter lies, and the chosen filter.
    CLSID m_clsidCategory;
    CLSID m_clsidFilter;
    // The manager window's device enumerator, borrowed without a reference
    // from WM_INITDIALOG on; null before.
    ICreateDevEnum* m_pParentDevEnum;

protected:
    MessageTable<MessageMapEntry> GetMessageMap() const override;
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    ICreateDevEnum* OwnerDevEnum() const noexcept;

    void FillTree();
    void InsertCategoryItem(const NamedClsid& entry);
    void AddCategoryFilters(HTREEITEM categoryItem, REFCLSID category);
    void InsertFilterItem(HTREEITEM categoryItem, const NamedClsid& entry);

    bool IsFilterItem(HTREEITEM item) const noexcept;
    HTREEITEM SelectedCategoryItem() const noexcept;
    HTREEITEM ItemUnderMessage() const noexcept;

    void OnSelChangedFilterTree(NMHDR* header, LRESULT* result);
    void OnDblClkFilterTree(NMHDR* header, LRESULT* result);
    void OnReturnFilterTree(NMHDR* header, LRESULT* result);
    void OnGetInfoTipFilterTree(NMHDR* header, LRESULT* result);
    static LRESULT CALLBACK FilterTreeProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam);
    static bool ClaimsEnter(HWND tree) noexcept;
    bool OnDpiChanged(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnDestroy(WPARAM wParam, LPARAM lParam, LRESULT& result);

    void ClearTree();
    void FreeItemData(HTREEITEM item);
};
