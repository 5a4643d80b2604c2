#include "AddFilterDlg.h"

#include <windowsx.h>

#include "ComPtr.h"
#include "FilterEnumeration.h"
#include "FilterTip.h"
#include "UniqueHandle.h"
#include "WaitCursor.h"
#include "ZarvFMgrDlg.h"
#include "resource.h"

namespace {

// Where on an item a click lands on the item itself: its label or its icon,
// not its expand button or the row beside it.
constexpr UINT kOnItemItself = TVHT_ONITEMLABEL | TVHT_ONITEMICON;

// The character that Enter makes when the dialog manager translates it.
constexpr WPARAM kEnterCharacter = '\r';

// Inserts an item with the entry's text in sorted position under parent and
// attaches a private copy of the entry's CLSID to it. Returns the item, which
// then owns the copy, with the copy in `copy`; or null, leaving nothing behind,
// when the copy or the item cannot be made.
HTREEITEM InsertItemWithCopy(CTreeCtrl& tree, HTREEITEM parent, const NamedClsid& entry,
                             const CLSID*& copy) noexcept
{
    UniqueClsidCopy owned = MakeClsidCopy(entry.clsid);
    if (!owned)
        return nullptr;
    const HTREEITEM item = tree.InsertItem(entry.name.c_str(), parent, TVI_SORT);
    if (!item)
        return nullptr;
    if (!tree.SetItemData(item, reinterpret_cast<DWORD_PTR>(owned.get())))
    {
        tree.DeleteItem(item); // no item stays without its own copy
        return nullptr;
    }
    copy = owned.release(); // the item owns it now
    return item;
}

// The CLSID copy that an item carries, or null.
CLSID* ItemClsid(const CTreeCtrl& tree, HTREEITEM item) noexcept
{
    return reinterpret_cast<CLSID*>(tree.GetItemData(item));
}

} // namespace

CAddFilterDlg::CAddFilterDlg() noexcept
    : CDialog(IDD_ADDFILTER), m_clsidCategory(GUID_NULL), m_clsidFilter(GUID_NULL), m_pParentDevEnum(nullptr)
{
}

// The CLSID copies were freed at WM_DESTROY; the device enumerator is borrowed.
CAddFilterDlg::~CAddFilterDlg() = default;

MessageTable<CDialog::MessageMapEntry> CAddFilterDlg::GetMessageMap() const
{
    static const MessageMapEntry entries[] = {
        NotifyHandler(TVN_SELCHANGEDA, IDC_FILTER_TREE, &CAddFilterDlg::OnSelChangedFilterTree),
        NotifyHandler(NM_DBLCLK, IDC_FILTER_TREE, &CAddFilterDlg::OnDblClkFilterTree),
        NotifyHandler(NM_RETURN, IDC_FILTER_TREE, &CAddFilterDlg::OnReturnFilterTree),
        NotifyHandler(TVN_GETINFOTIPA, IDC_FILTER_TREE, &CAddFilterDlg::OnGetInfoTipFilterTree),
        NotifyHandler(TVN_GETINFOTIPW, IDC_FILTER_TREE, &CAddFilterDlg::OnGetInfoTipFilterTree),
        MessageHandler(WM_DPICHANGED, &CAddFilterDlg::OnDpiChanged),
        MessageHandler(WM_DESTROY, &CAddFilterDlg::OnDestroy),
    };
    return entries;
}

void CAddFilterDlg::DoDataExchange(CDataExchange& dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FILTER_TREE, m_treeFilters);
}

BOOL CAddFilterDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_pParentDevEnum = OwnerDevEnum();
    // The tree's own procedure goes into its user data, which the control
    // leaves to its owner, before the dialog's stands in front of it.
    const HWND tree = m_treeFilters.m_hWnd;
    ::SetWindowLongPtrW(tree, GWLP_USERDATA, ::GetWindowLongPtrW(tree, GWLP_WNDPROC));
    ::SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CAddFilterDlg::FilterTreeProc));
    SetTipWidth(m_treeFilters.GetToolTips(), ::GetDpiForWindow(m_hWnd));
    FillTree();
    return TRUE; // the focus goes to the first tab stop, the tree
}

// The device enumerator of the manager window that owns this dialog, without a
// reference; null when the owner is not a manager window.
ICreateDevEnum* CAddFilterDlg::OwnerDevEnum() const noexcept
{
    const CDialog* owner = CDialog::FromHandle(::GetWindow(m_hWnd, GW_OWNER));
    const CZarvFMgrDlg* manager = dynamic_cast<const CZarvFMgrDlg*>(owner);
    return manager ? manager->m_pDevEnum.get() : nullptr;
}

// Each category's item and filters are in place before the next category is fetched.
void CAddFilterDlg::FillTree()
{
    const CWaitCursor busy; // the walk can take seconds on a large catalogue
    EnumerateFilterCategories([this](const NamedClsid& entry) { InsertCategoryItem(entry); });
}

void CAddFilterDlg::InsertCategoryItem(const NamedClsid& entry)
{
    const CLSID* category = nullptr;
    const HTREEITEM item = InsertItemWithCopy(m_treeFilters, TVI_ROOT, entry, category);
    if (item)
        AddCategoryFilters(item, *category);
}

// A category whose enumerator cannot be obtained, or that has no members, stays
// without children.
void CAddFilterDlg::AddCategoryFilters(HTREEITEM categoryItem, REFCLSID category)
{
    if (!m_pParentDevEnum)
        return;
    ComPtr<IEnumMoniker> enumerator; // stays null for a category without members
    if (FAILED(m_pParentDevEnum->CreateClassEnumerator(category, enumerator.put(), 0)))
        return;
    EnumerateCategoryFilters(enumerator.get(), [this, categoryItem](const NamedClsid& entry) {
        InsertFilterItem(categoryItem, entry);
    });
}

void CAddFilterDlg::InsertFilterItem(HTREEITEM categoryItem, const NamedClsid& entry)
{
    const CLSID* filter = nullptr;
    InsertItemWithCopy(m_treeFilters, categoryItem, entry, filter);
}

// A filter item is an item with a parent; a category item has none.
bool CAddFilterDlg::IsFilterItem(HTREEITEM item) const noexcept
{
    return item && m_treeFilters.GetParentItem(item);
}

// The selected item when it is a category item; null otherwise.
HTREEITEM CAddFilterDlg::SelectedCategoryItem() const noexcept
{
    const HTREEITEM selected = m_treeFilters.GetSelectedItem();
    return selected && !IsFilterItem(selected) ? selected : nullptr;
}

// OK is enabled exactly while a filter item is selected.
void CAddFilterDlg::OnSelChangedFilterTree(NMHDR* header, LRESULT* result)
{
    const HTREEITEM selected = reinterpret_cast<const NMTREEVIEWA*>(header)->itemNew.hItem;
    ::EnableWindow(GetDlgItem(IDOK), IsFilterItem(selected));
    *result = 0;
}

// A double-click on the selected filter item itself chooses it, as OK does.
// The tree reports a double-click anywhere on an item's row, its expand button
// and the space beside its name included: there it chooses nothing, and on a
// category item the tree expands or collapses it as usual.
void CAddFilterDlg::OnDblClkFilterTree(NMHDR* /*header*/, LRESULT* result)
{
    *result = 0; // the tree's own handling follows
    const HTREEITEM selected = m_treeFilters.GetSelectedItem();
    if (IsFilterItem(selected) && ItemUnderMessage() == selected)
        OnOK();
}

// The item whose label or icon lies where the mouse was when the message in
// hand was sent; null when no item's does.
HTREEITEM CAddFilterDlg::ItemUnderMessage() const noexcept
{
    const DWORD position = ::GetMessagePos();
    POINT point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ::ScreenToClient(m_treeFilters.m_hWnd, &point);
    UINT where = 0;
    const HTREEITEM item = m_treeFilters.HitTest(point, where);
    return (where & kOnItemItself) ? item : nullptr;
}

// Enter on a category item opens or closes it; on a filter item Enter goes to
// the dialog manager as usual and presses OK.
void CAddFilterDlg::OnReturnFilterTree(NMHDR* /*header*/, LRESULT* result)
{
    if (const HTREEITEM category = SelectedCategoryItem())
        m_treeFilters.Expand(category, TVE_TOGGLE);
    *result = TRUE; // handled
}

// The tree asks the dialog manager for Enter while a category item is
// selected, so that it reaches the tree (and the dialog as NM_RETURN) rather
// than OK, which is disabled then. The character the dialog manager then makes
// of that Enter goes no further: the tree would take it for the start of a
// search by typing. Every other message goes to the tree's own procedure and
// comes back as it answers.
LRESULT CALLBACK CAddFilterDlg::FilterTreeProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR && wParam == kEnterCharacter && ClaimsEnter(tree))
        return 0;
    const WNDPROC treeProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(tree, GWLP_USERDATA));
    LRESULT result = ::CallWindowProcW(treeProc, tree, message, wParam, lParam);
    const MSG* key = message == WM_GETDLGCODE ? reinterpret_cast<const MSG*>(lParam) : nullptr;
    if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN && ClaimsEnter(tree))
        result |= DLGC_WANTMESSAGE;
    return result;
}

// Whether the dialog that holds the tree claims Enter: while a category item is selected.
bool CAddFilterDlg::ClaimsEnter(HWND tree) noexcept
{
    const auto* self = dynamic_cast<const CAddFilterDlg*>(CDialog::FromHandle(::GetParent(tree)));
    return self && self->SelectedCategoryItem();
}

// The item's CLSID and, for a filter, the file that serves it: what tells two
// items of the same name apart. The tree asks in the form the dialog answers
// WM_NOTIFYFORMAT with, the 8-bit one; the wide one is answered alike.
void CAddFilterDlg::OnGetInfoTipFilterTree(NMHDR* header, LRESULT* result)
{
    *result = 0;
    const auto answer = [this](auto* tip) {
        if (const CLSID* clsid = tip->hItem ? ItemClsid(m_treeFilters, tip->hItem) : nullptr)
            FormatFilterTip(*clsid, IsFilterItem(tip->hItem) ? TipLines::ClsidAndServer : TipLines::ClsidOnly,
                            tip->pszText, tip->cchTextMax);
    };
    if (header->code == TVN_GETINFOTIPW)
        answer(reinterpret_cast<NMTVGETINFOTIPW*>(header));
    else
        answer(reinterpret_cast<NMTVGETINFOTIPA*>(header));
}

// Records the selected filter and the category item it lies under. Without a
// selected filter item there is nothing to record, and the dialog stays open.
void CAddFilterDlg::OnOK()
{
    const HTREEITEM filterItem = m_treeFilters.GetSelectedItem();
    if (!IsFilterItem(filterItem))
        return; // nothing, or a category item, is selected
    const HTREEITEM categoryItem = m_treeFilters.GetParentItem(filterItem);
    const CLSID* filter = ItemClsid(m_treeFilters, filterItem);
    const CLSID* category = ItemClsid(m_treeFilters, categoryItem);
    if (!filter || !category)
        return;
    m_clsidFilter = *filter;
    m_clsidCategory = *category;
    CDialog::OnOK();
}

// The dialog manager scales the dialog itself; the tips' width follows.
bool CAddFilterDlg::OnDpiChanged(WPARAM wParam, LPARAM, LRESULT&)
{
    SetTipWidth(m_treeFilters.GetToolTips(), LOWORD(wParam));
    return false;
}

bool CAddFilterDlg::OnDestroy(WPARAM, LPARAM, LRESULT&)
{
    ClearTree();
    return false; // the default destroy handling follows
}

// Frees every CLSID copy, then deletes every item.
void CAddFilterDlg::ClearTree()
{
    FreeItemData(m_treeFilters.GetRootItem());
    m_treeFilters.DeleteAllItems();
}

// Frees the copies of the item, its siblings after it and all their
// descendants, depth first: the children's before their parent's.
void CAddFilterDlg::FreeItemData(HTREEITEM item)
{
    for (; item; item = m_treeFilters.GetNextSiblingItem(item))
    {
        if (const HTREEITEM child = m_treeFilters.GetChildItem(item))
            FreeItemData(child);
        UniqueClsidCopy(ItemClsid(m_treeFilters, item)).reset();
    }
}
