// The figures over a large synthetic filter catalogue: categories listed under
// CLSID_ActiveMovieCategories, each with its filters as Instance keys carrying
// "CLSID", "FriendlyName" and a 1 KiB binary "FilterData". The category walk,
// the Add Filter dialog's fill and their growth exponents are measured as the
// catalogue grows; the filter list refill over a vendor category.
//
// Each key of a registration is volatile (kept in memory by the registry
// server, never saved), so that the server's periodic save stays out of the
// figures; the class keys above them are ordinary, so that the program can add
// registrations beside them.

#include "Benchmark.h"

#include <objbase.h>
#include <commctrl.h>
#include <uuids.h>

#include <cwchar>

#include "ComPtr.h"
#include "FilterEnumeration.h"
#include "PropertyNames.h"
#include "TestRegistry.h"
#include "UniqueHandle.h"
#include "VendorCategories.h"
#include "resource.h"

namespace {

const int kFiltersPerCategory = 100;
const int kCategorySteps[] = {20, 200, 500}; // 2,000, 20,000 and 50,000 registrations
const int kFilterDataBytes = 1024;
const int kVendorFilters = 5000;

const Figure kCategoryWalk = {"category walk", 1.10};
const Figure kDialogFill = {"Add Filter dialog fill", 1.5};
const Figure kGrowthExponent = {"growth exponent", 1.1};
const Figure kFilterListRefill = {"filter list refill", 1.10};

// A volatile Instance key of the category with the two values every walk
// reads, named by the format and the number, and with a "FilterData" when asked.
LSTATUS WriteRegistration(REFCLSID category, REFCLSID clsid, const wchar_t* nameFormat, int number,
                          bool withFilterData)
{
    static const std::vector<BYTE> filterData = [] {
        std::vector<BYTE> data(kFilterDataBytes);
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<BYTE>(i * 7 + 3);
        return data;
    }();
    const std::string path = InstancePath(category, clsid);
    wchar_t name[64];
    std::swprintf(name, 64, nameFormat, number);
    LSTATUS status = CreateVolatileClassesKey(path);
    if (status == ERROR_SUCCESS)
        status = WriteEntry(path, GuidTextW(clsid), name);
    if (status == ERROR_SUCCESS && withFilterData)
        status = WriteValue(path, kFilterDataValue, REG_BINARY, filterData.data(), kFilterDataBytes);
    return status;
}

// Registers `count` filters in the category, numbered from `first`.
LSTATUS RegisterFilters(REFCLSID category, int count, int first)
{
    LSTATUS status = ERROR_SUCCESS;
    for (int i = 0; status == ERROR_SUCCESS && i < count; ++i)
        status = WriteRegistration(category, NewGuid(), L"Synthetic filter %06d", first + i, true);
    return status;
}

// Set-up: the catalogue grown to `categories` categories; `filters` counts the
// registrations it holds.
bool GrowCatalogue(int& filters, int categories)
{
    const int before = filters;
    const Sample start = Now();
    LSTATUS status = ERROR_SUCCESS;
    for (int number = filters / kFiltersPerCategory; status == ERROR_SUCCESS && number < categories; ++number)
    {
        const GUID category = NewGuid();
        status = WriteRegistration(CLSID_ActiveMovieCategories, category, L"Synthetic category %04d", number,
                                   false);
        if (status == ERROR_SUCCESS)
            status = RegisterFilters(category, kFiltersPerCategory, filters);
        if (status == ERROR_SUCCESS)
            filters += kFiltersPerCategory;
    }
    ReportLine(Format("set-up: %d registrations written in %.1f s (%d in all, status %ld)", filters - before,
                      (Now() - start).wall, filters, static_cast<long>(status)));
    return status == ERROR_SUCCESS;
}

// The floor of the walks: the same platform calls in the same order as the
// program's walks (device enumerator, moniker enumerators, property bags,
// "CLSID" and "FriendlyName" reads, CLSIDFromString), with nothing done to the
// names unless they are recorded.

struct RecordedItem
{
    std::wstring name;
    CLSID clsid;
};

struct RecordedCategory
{
    RecordedItem category;
    std::vector<RecordedItem> filters;
};

struct WalkCount
{
    int categories = 0;
    int filters = 0;
};

// A string property into `value`; false when it cannot be read as a non-null
// string (the program's walk skips it too).
bool ReadString(IPropertyBag* bag, const wchar_t* name, UniqueVariant& value)
{
    return SUCCEEDED(bag->Read(name, value.put(VT_BSTR), nullptr)) && value.bstr();
}

// Calls `read` with the property bag of each moniker that the enumerator
// yields; a moniker that cannot be bound is skipped.
template <typename Read>
void ForEachBag(IEnumMoniker* enumerator, Read&& read)
{
    for (ComPtr<IMoniker> moniker; enumerator->Next(1, moniker.put(), nullptr) == S_OK;)
    {
        ComPtr<IPropertyBag> bag;
        if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.put_void())))
            read(bag.get());
    }
}

// The filters of one category: "FriendlyName" first, as the program reads them.
int BareWalkCategory(ICreateDevEnum* devEnum, REFCLSID category, std::vector<RecordedItem>* record)
{
    ComPtr<IEnumMoniker> enumerator;
    if (devEnum->CreateClassEnumerator(category, enumerator.put(), 0) != S_OK || !enumerator)
        return 0;
    int count = 0;
    ForEachBag(enumerator.get(), [&](IPropertyBag* bag) {
        UniqueVariant name;
        UniqueVariant clsidText;
        CLSID clsid;
        if (!ReadString(bag, kFriendlyNameProperty, name) || !ReadString(bag, kClsidProperty, clsidText) ||
            ::CLSIDFromString(clsidText.bstr(), &clsid) != S_OK)
            return;
        if (record)
            record->push_back(RecordedItem{name.bstr(), clsid});
        ++count;
    });
    return count;
}

// Every category, "CLSID" first, through a device enumerator of its own, and
// each category's filters through `filterDevEnum`, nested inside the category walk.
WalkCount BareWalk(ICreateDevEnum* filterDevEnum, std::vector<RecordedCategory>* record)
{
    WalkCount count;
    ComPtr<ICreateDevEnum> devEnum;
    ComPtr<IEnumMoniker> categories;
    if (FAILED(::CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                  devEnum.put_void())) ||
        devEnum->CreateClassEnumerator(CLSID_ActiveMovieCategories, categories.put(), 0) != S_OK)
        return count;
    ForEachBag(categories.get(), [&](IPropertyBag* bag) {
        UniqueVariant clsidText;
        CLSID clsid;
        if (!ReadString(bag, kClsidProperty, clsidText) ||
            ::CLSIDFromString(clsidText.bstr(), &clsid) != S_OK)
            return;
        UniqueVariant name;
        const bool named = ReadString(bag, kFriendlyNameProperty, name);
        std::vector<RecordedItem>* filters = nullptr;
        if (record)
        {
            const wchar_t* text = named ? name.bstr() : clsidText.bstr();
            record->push_back(RecordedCategory{RecordedItem{text, clsid}, {}});
            filters = &record->back().filters;
        }
        ++count.categories;
        count.filters += BareWalkCategory(filterDevEnum, clsid, filters);
    });
    return count;
}

// The program's category walk, as the Add Filter dialog runs it, delivering
// nothing anywhere.
WalkCount ProgramWalk(ICreateDevEnum* filterDevEnum)
{
    WalkCount count;
    auto countFilter = [&count](const NamedClsid&) { ++count.filters; };
    EnumerateFilterCategories([&](const NamedClsid& category) {
        ++count.categories;
        ComPtr<IEnumMoniker> filters;
        if (SUCCEEDED(filterDevEnum->CreateClassEnumerator(category.clsid, filters.put(), 0)))
            EnumerateCategoryFilters(filters.get(), countFilter);
    });
    return count;
}

// A filter's name in 8-bit form, taken whole in the thread's code page, as the
// program takes it.
std::string FilterText(const std::wstring& name)
{
    const int bytes = ::WideCharToMultiByte(CP_THREAD_ACP, 0, name.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(bytes > 0 ? bytes : 1, '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, name.c_str(), -1, &text[0], bytes, nullptr, nullptr);
    return text;
}

// The tree's share of the Add Filter dialog's floor: a bare tree view with the
// dialog tree's size and styles, in a hidden window as the dialog's is while it
// initialises, taking a bare walk's items by sorted insertion (TVM_INSERTITEMA
// with TVI_SORT), each with its text in 8-bit form and a private copy of its
// CLSID as data.
class BareTree
{
public:
    BareTree();
    ~BareTree();
    BareTree(const BareTree&) = delete;
    BareTree& operator=(const BareTree&) = delete;

    bool IsOpen() const { return m_tree != nullptr; }

    // Inserts every recorded item, categories at the root and their filters
    // under them, in the walk's order; `items` counts the tree's items after.
    // The tree is emptied again outside the time.
    Sample Fill(const std::vector<RecordedCategory>& catalogue, int& items);

private:
    HTREEITEM Insert(HTREEITEM parent, const char* text, REFCLSID clsid);
    void FreeCopies(HTREEITEM item);

    HWND m_frame = nullptr;
    HWND m_tree = nullptr;
};

// The dialog's tree control is 247 x 187 dialog units in 8-point MS Sans Serif.
const int kTreeWidth = 370;
const int kTreeHeight = 304;
const DWORD kTreeStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
const int kCategoryNameBytes = 260;
const wchar_t kFrameClass[] = L"ZarvBenchTreeFrame";

BareTree::BareTree()
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    WNDCLASSW frameClass = {};
    frameClass.lpfnWndProc = ::DefWindowProcW;
    frameClass.hInstance = ::GetModuleHandleW(nullptr);
    frameClass.lpszClassName = kFrameClass;
    ::RegisterClassW(&frameClass);
    m_frame = ::CreateWindowExW(WS_EX_DLGMODALFRAME, kFrameClass, L"Bare tree",
                                WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, kTreeWidth + 100, kTreeHeight + 40,
                                nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (m_frame)
        m_tree = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"Tree1", kTreeStyle, 10, 10, kTreeWidth,
                                   kTreeHeight, m_frame, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (m_tree)
        ::SendMessageW(m_tree, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                       FALSE);
}

BareTree::~BareTree()
{
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

void BareTree::FreeCopies(HTREEITEM item)
{
    for (; item; item = TreeView_GetNextSibling(m_tree, item))
    {
        FreeCopies(TreeView_GetChild(m_tree, item));
        TVITEMA data = {};
        data.mask = TVIF_PARAM;
        data.hItem = item;
        if (::SendMessageA(m_tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data)))
            delete reinterpret_cast<CLSID*>(data.lParam);
    }
}

Sample BareTree::Fill(const std::vector<RecordedCategory>& catalogue, int& items)
{
    const Sample time = TimeOf([&] {
        for (const RecordedCategory& category : catalogue)
        {
            // A category's name is cut to a fixed room in the system code page,
            // as the program takes it.
            char text[kCategoryNameBytes] = "";
            ::WideCharToMultiByte(CP_ACP, 0, category.category.name.c_str(), -1, text, sizeof text, nullptr,
                                  nullptr);
            const HTREEITEM parent = Insert(TVI_ROOT, text, category.category.clsid);
            for (const RecordedItem& filter : category.filters)
                Insert(parent, FilterText(filter.name).c_str(), filter.clsid);
        }
    });
    items = static_cast<int>(TreeView_GetCount(m_tree));
    FreeCopies(TreeView_GetRoot(m_tree));
    TreeView_DeleteAllItems(m_tree);
    return time;
}

// The Add Filter dialog from the manager window's Add command, as the user
// opens it, until its tree is filled: the dialog is found as it is created and
// sent a Cancel then, which its modal loop fetches only after WM_INITDIALOG has
// returned, so Add copies nothing.
struct DialogOpening
{
    Sample start;
    HWND dialog = nullptr;
    Sample filled;   // from the Add command until the dialog's modal loop first fetches
    Sample teardown; // from then until the dialog is gone and Add has returned
    int treeItems = 0;
};

DialogOpening* g_opening = nullptr;

LRESULT CALLBACK OnCreation(int code, WPARAM wParam, LPARAM lParam)
{
    const HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t className[16] = L"";
    if (code == HCBT_CREATEWND && g_opening && !g_opening->dialog && ::GetClassNameW(window, className, 16) &&
        lstrcmpW(className, L"#32770") == 0)
    {
        g_opening->dialog = window;
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK OnFetch(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && g_opening && message &&
        message->hwnd == g_opening->dialog && message->message == WM_COMMAND && g_opening->filled.wall == 0.0)
    {
        g_opening->filled = Now() - g_opening->start;
        g_opening->treeItems = static_cast<int>(
            ::SendMessageW(::GetDlgItem(g_opening->dialog, IDC_FILTER_TREE), TVM_GETCOUNT, 0, 0));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Sends Add to the manager window. The dialog did not open when `dialog` or
// `filled` stays empty.
DialogOpening OpenAddFilterDialog(HWND managerWindow)
{
    DialogOpening opening;
    const DWORD thread = ::GetCurrentThreadId();
    const HHOOK creation = ::SetWindowsHookExW(WH_CBT, &OnCreation, nullptr, thread);
    const HHOOK fetching = ::SetWindowsHookExW(WH_GETMESSAGE, &OnFetch, nullptr, thread);
    g_opening = &opening;
    opening.start = Now();
    ::SendMessageW(managerWindow, WM_COMMAND, MAKEWPARAM(IDC_ADD, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(managerWindow, IDC_ADD)));
    opening.teardown = Now() - opening.start - opening.filled;
    g_opening = nullptr;
    ::UnhookWindowsHookEx(fetching);
    ::UnhookWindowsHookEx(creation);
    return opening;
}

// The category walk and the Add Filter dialog's fill at one size of the
// catalogue, each against its floor.
struct SizePoint
{
    int registrations = 0;
    Comparison walk;
    WalkCount delivered; // by the program's walk
    WalkCount walked;    // by the bare walk
    std::vector<Sample> insertion;
    int treeItems = 0;
    Comparison dialog; // against the bare walk plus the insertion into the bare tree
    DialogOpening opening;

    bool DialogOpened() const { return opening.dialog && opening.filled.wall > 0.0; }
    double Size() const { return walked.filters + walked.categories; }
    Sample TreeFloor() const { return MedianOf(walk.floor) + MedianOf(insertion); }
};

SizePoint MeasureAtSize(ICreateDevEnum* devEnum, BareTree& tree, HWND managerWindow, int registrations,
                        int runs)
{
    SizePoint point;
    point.registrations = registrations;
    point.walk = Compare(
        runs, [&] { return TimeOf([&] { point.delivered = ProgramWalk(devEnum); }); },
        [&] { return TimeOf([&] { point.walked = BareWalk(devEnum, nullptr); }); });
    std::vector<RecordedCategory> catalogue;
    BareWalk(devEnum, &catalogue);
    for (int run = 0; run < runs; ++run)
    {
        point.insertion.push_back(tree.Fill(catalogue, point.treeItems));
        // The dialog's floor: this run's bare walk and this run's insertion.
        point.dialog.floor.push_back(point.walk.floor[static_cast<size_t>(run)] + point.insertion.back());
        point.opening = OpenAddFilterDialog(managerWindow);
        point.dialog.product.push_back(point.opening.filled);
    }
    return point;
}

void ReportSize(const SizePoint& point)
{
    const std::string size = Format(" at %d registrations", point.registrations);
    ReportFigure(kCategoryWalk,
                 size + Format(" (%d categories, %d filters delivered)", point.delivered.categories,
                               point.delivered.filters),
                 point.walk);
    const double walk = MedianOf(point.walk.floor).wall;
    const double insertion = MedianOf(point.insertion).wall;
    const Sample floor = point.TreeFloor();
    ReportLine(Format("  tree floor%s: bare walk %.3f s + sorted insertion of %d items into a bare tree "
                      "%.3f s = %.3f s (insertion %.0f%%); processor time %.2f s",
                      size.c_str(), walk, point.treeItems, insertion, floor.wall,
                      100.0 * insertion / floor.wall, floor.cpu));
    if (!point.DialogOpened())
        ReportLine(Format("%s%s: not measured, Add opened no dialog", kDialogFill.name, size.c_str()));
    else
        ReportFigure(kDialogFill, size + Format(" (%d tree items)", point.opening.treeItems), point.dialog,
                     Format("closing it took %.3f s more", point.opening.teardown.wall));
}

// The growth exponents of the category walk and of the Add Filter dialog's
// fill from the smallest size to the largest, in processor time (and
// wall-clock time), each beside its floor's.
void ReportGrowthExponents(const SizePoint& small, const SizePoint& large)
{
    auto exponent = [&](Sample smallTime, Sample largeTime) {
        return Sample{GrowthExponent(small.Size(), smallTime.wall, large.Size(), largeTime.wall),
                      GrowthExponent(small.Size(), smallTime.cpu, large.Size(), largeTime.cpu)};
    };
    const std::string from =
        Format("%s from %d to %d registrations, processor time (wall):", kGrowthExponent.name,
               small.registrations, large.registrations);
    const double target = kGrowthExponent.target;
    const Sample walk = exponent(MedianOf(small.walk.product), MedianOf(large.walk.product));
    const Sample walkFloor = exponent(MedianOf(small.walk.floor), MedianOf(large.walk.floor));
    const Sample treeFloor = exponent(small.TreeFloor(), large.TreeFloor());
    const Sample insertion = exponent(MedianOf(small.insertion), MedianOf(large.insertion));
    ReportLine(Format("%s category walk %.2f (%.2f) (target <= %.2f, %s), its floor %.2f (%.2f); tree floor "
                      "%.2f (%.2f), its insertion alone %.2f (%.2f)",
                      from.c_str(), walk.cpu, walk.wall, target, Verdict(walk.cpu, target), walkFloor.cpu,
                      walkFloor.wall, treeFloor.cpu, treeFloor.wall, insertion.cpu, insertion.wall));
    if (!small.DialogOpened() || !large.DialogOpened())
        return;
    const Sample dialog = exponent(MedianOf(small.dialog.product), MedianOf(large.dialog.product));
    const Sample dialogFloor = exponent(MedianOf(small.dialog.floor), MedianOf(large.dialog.floor));
    ReportLine(Format("%s Add Filter dialog fill %.2f (%.2f) (target <= %.2f, %s), its floor %.2f (%.2f)",
                      from.c_str(), dialog.cpu, dialog.wall, target, Verdict(dialog.cpu, target),
                      dialogFloor.cpu, dialogFloor.wall));
}

} // namespace

bool RunCatalogueFigures(ICreateDevEnum* devEnum, HWND managerWindow, int runs, int largestRuns, bool quick)
{
    BareTree tree;
    if (!tree.IsOpen())
    {
        ReportLine("no tree view");
        return false;
    }
    int filters = 0;
    std::vector<SizePoint> points;
    for (int categories : kCategorySteps)
    {
        if (!GrowCatalogue(filters, categories))
            return false;
        if (points.empty())
        {
            // One untimed round of each walk first: the first walks of a process
            // load and register what the device enumerator needs.
            ProgramWalk(devEnum);
            BareWalk(devEnum, nullptr);
        }
        const bool largest = categories == kCategorySteps[std::size(kCategorySteps) - 1];
        points.push_back(MeasureAtSize(devEnum, tree, managerWindow, filters, largest ? largestRuns : runs));
        ReportSize(points.back());
        if (quick)
            break;
    }
    if (points.size() > 1)
        ReportGrowthExponents(points.front(), points.back());
    return true;
}

// The list's share of the refill's floor: a bare list box beside the manager's
// filter list, with its style, size and font, emptied of the copies it holds
// and refilled by sorted insertion (LB_ADDSTRING) with a bare walk's items,
// each with its text in 8-bit form and a private copy of its CLSID as data,
// its redrawing off meanwhile and painted once after.
class BareList
{
public:
    explicit BareList(HWND filterList)
    {
        RECT place = {};
        ::GetWindowRect(filterList, &place);
        ::MapWindowPoints(nullptr, ::GetParent(filterList), reinterpret_cast<POINT*>(&place), 2);
        m_list = ::CreateWindowExW(::GetWindowLongW(filterList, GWL_EXSTYLE), L"ListBox", L"",
                                   ::GetWindowLongW(filterList, GWL_STYLE), place.left, place.top,
                                   place.right - place.left, place.bottom - place.top,
                                   ::GetParent(filterList), nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(m_list, WM_SETFONT, ::SendMessageW(filterList, WM_GETFONT, 0, 0), FALSE);
    }
    ~BareList()
    {
        Clear();
        ::DestroyWindow(m_list);
    }
    BareList(const BareList&) = delete;
    BareList& operator=(const BareList&) = delete;

    Sample Refill(const std::vector<RecordedItem>& items)
    {
        return TimeOf([&] {
            ::SendMessageA(m_list, WM_SETREDRAW, FALSE, 0);
            Clear();
            for (const RecordedItem& item : items)
            {
                const LRESULT index = ::SendMessageA(m_list, LB_ADDSTRING, 0,
                                                     reinterpret_cast<LPARAM>(FilterText(item.name).c_str()));
                ::SendMessageA(m_list, LB_SETITEMDATA, static_cast<WPARAM>(index),
                               reinterpret_cast<LPARAM>(new CLSID(item.clsid)));
            }
            ::SendMessageA(m_list, WM_SETREDRAW, TRUE, 0);
            ::InvalidateRect(m_list, nullptr, TRUE);
        });
    }

private:
    void Clear()
    {
        for (LRESULT i = 0, count = ::SendMessageA(m_list, LB_GETCOUNT, 0, 0); i < count; ++i)
            delete reinterpret_cast<CLSID*>(
                ::SendMessageA(m_list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        ::SendMessageA(m_list, LB_RESETCONTENT, 0, 0);
    }

    HWND m_list = nullptr;
};

void RunFilterListRefill(ICreateDevEnum* devEnum, HWND managerWindow, int runs)
{
    const Sample start = Now();
    const LSTATUS status = RegisterFilters(CLSID_ZarvVideoProcessors, kVendorFilters, 0);
    ReportLine(Format("set-up: %d filters written into a vendor category in %.1f s (status %ld)",
                      kVendorFilters, (Now() - start).wall, static_cast<long>(status)));
    // The vendor category's filters are deleted again afterwards.
    const ScopedClassesKey vendorFilters(ClassPath(CLSID_ZarvVideoProcessors) + "\\Instance");
    const HWND categories = ::GetDlgItem(managerWindow, IDC_CATEGORY_LIST);
    const LRESULT index = ::SendMessageW(categories, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(kZarvVideoProcessorsDescription));
    if (index == LB_ERR)
    {
        ReportLine(Format("%s: not measured, the vendor category is not listed", kFilterListRefill.name));
        return;
    }
    // Selecting the category's entry in the category list refills the filter
    // list; a first refill, so that every measured one also empties a full list.
    ::SendMessageW(categories, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    auto select = [&] {
        ::SendMessageW(managerWindow, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(categories));
    };
    select();
    // The bare list is filled first too, so that it is full before every measured refill.
    BareList bareList(::GetDlgItem(managerWindow, IDC_FILTER_LIST));
    std::vector<RecordedItem> firstItems;
    BareWalkCategory(devEnum, CLSID_ZarvVideoProcessors, &firstItems);
    bareList.Refill(firstItems);
    int listed = 0;
    int walked = 0;
    const Comparison refill = Compare(
        runs,
        [&] {
            const Sample time = TimeOf(select);
            listed =
                static_cast<int>(::SendDlgItemMessageW(managerWindow, IDC_FILTER_LIST, LB_GETCOUNT, 0, 0));
            return time;
        },
        [&] {
            std::vector<RecordedItem> items;
            const Sample walk =
                TimeOf([&] { walked = BareWalkCategory(devEnum, CLSID_ZarvVideoProcessors, &items); });
            return walk + bareList.Refill(items);
        });
    ReportFigure(kFilterListRefill,
                 Format(" of the manager window, %d filters in a vendor category (%d listed, %d walked and "
                        "put into a bare list)",
                        kVendorFilters, listed, walked),
                 refill);
}
