#pragma once
// The manager window: the two vendor categories on the left, the filters of the
// category listed last on the right, and the buttons Add..., Remove and Exit.
// It holds the program's system device enumerator and filter mapper for its
// whole life, and owns the CLSID copy of every entry of its two lists.

#include <windows.h>
#include <strmif.h>

#include "ComPtr.h"
#include "Dialog.h"
#include "FilterTip.h"
#include "ListBox.h"
#include "NamedClsid.h"
#include "UniqueHandle.h"

class CZarvFMgrDlg : public CDialog
{
public:
    CZarvFMgrDlg() noexcept;
    ~CZarvFMgrDlg() override;

protected:
    MessageTable<MessageMapEntry> GetMessageMap() const override;
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    void AppendAboutItem();
    void SetIcons(UINT dpi);
    bool CreateServices();
    void CreateFilterTip();

    void AddFilterEntry(const NamedClsid& entry);
    void AddCategoryEntry(const NamedClsid& entry);
    void ClearFilterList();
    void ClearCategoryList();
    void FillFilterList(IEnumMoniker* enumerator);
    bool ShowCategoryFilters(REFCLSID category);

    void OnSelChangeCategories();
    void OnSelChangeFilters();
    void OnAddFilter();
    void OnRemoveFilter();
    bool OnSysCommand(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnPaint(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnQueryDragIcon(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnDpiChanged(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnDestroy(WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnGetFilterTip(NMHDR* header, LRESULT* result);
    bool OnSetCursor(WPARAM wParam, LPARAM lParam, LRESULT& result);

    CListBox m_listFilters;
    CListBox m_listCategories;
    // The window's big and small icons, loaded at the sizes for its DPI, and
    // again when its DPI changes.
    UniqueIcon m_hIcon;
    UniqueIcon m_hSmallIcon;

public:
    // The system device enumerator, from initialisation to teardown. The Add
    // Filter dialog borrows it while it runs over this window.
    ComPtr<ICreateDevEnum> m_pDevEnum;

private:
    ComPtr<IFilterMapper2> m_pFilterMapper;
    // The category whose filters the filter list shows, and on which Remove
    // acts: after a failed listing it differs from the selected category.
    CLSID m_clsidListed = GUID_NULL;
    // The filter list's tooltip, which the window owns: each entry's CLSID and
    // file, asked for as the tip shows for the entry under the pointer.
    HWND m_hFilterTip = nullptr;
    int m_nTipEntry = LB_ERR; // the entry under the pointer at its last move
    char m_szFilterTip[kTipTextCapacity] = {};
};
