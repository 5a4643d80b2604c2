#include "BareTree.h"

#include <string>

namespace {

// The dialog's tree control, 247 x 187 dialog units in 8-point MS Sans Serif.
const int kTreeWidth = 370;
const int kTreeHeight = 304;
const DWORD kTreeStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
const int kCategoryNameBytes = 260;
const wchar_t kFrameClass[] = L"ZarvBenchTreeFrame";

ATOM RegisterFrameClass()
{
    WNDCLASSW frameClass = {};
    frameClass.lpfnWndProc = ::DefWindowProcW;
    frameClass.hInstance = ::GetModuleHandleW(nullptr);
    frameClass.lpszClassName = kFrameClass;
    return ::RegisterClassW(&frameClass);
}

} // namespace

BareTree::BareTree()
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    static const ATOM frameClass = RegisterFrameClass();
    if (!frameClass)
        return;
    m_frame = ::CreateWindowExW(WS_EX_DLGMODALFRAME, kFrameClass, L"Bare tree",
                                WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, kTreeWidth + 100, kTreeHeight + 40,
                                nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!m_frame)
        return;
    m_tree = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"Tree1", kTreeStyle, 10, 10, kTreeWidth,
                               kTreeHeight, m_frame, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (m_tree)
        ::SendMessageW(m_tree, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                       FALSE);
}

BareTree::~BareTree()
{
    Clear();
    if (m_frame)
        ::DestroyWindow(m_frame);
}

HTREEITEM BareTree::Insert(HTREEITEM parent, const char* text, REFCLSID clsid)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_SORT;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.lParam = reinterpret_cast<LPARAM>(new CLSID(clsid));
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(m_tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void* BareTree::Category(const wchar_t* name, REFCLSID clsid)
{
    char text[kCategoryNameBytes] = "";
    ::WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, nullptr, nullptr);
    return Insert(TVI_ROOT, text, clsid);
}

void BareTree::Filter(void* parent, const wchar_t* name, REFCLSID clsid)
{
    const int bytes = ::WideCharToMultiByte(CP_THREAD_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
    std::string text(bytes > 0 ? bytes : 1, '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, name, -1, &text[0], bytes, nullptr, nullptr);
    Insert(static_cast<HTREEITEM>(parent), text.c_str(), clsid);
}

void BareTree::FreeItems(HTREEITEM item)
{
    for (; item; item = TreeView_GetNextSibling(m_tree, item))
    {
        FreeItems(TreeView_GetChild(m_tree, item));
        TVITEMA data = {};
        data.mask = TVIF_PARAM;
        data.hItem = item;
        if (::SendMessageA(m_tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data)))
            delete reinterpret_cast<CLSID*>(data.lParam);
    }
}

void BareTree::Clear()
{
    if (!m_tree)
        return;
    FreeItems(TreeView_GetRoot(m_tree));
    TreeView_DeleteAllItems(m_tree);
}

int BareTree::ItemCount() const
{
    return m_tree ? static_cast<int>(TreeView_GetCount(m_tree)) : 0;
}
