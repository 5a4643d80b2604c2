// The Add Filter dialog run in-process over the manager window, driven through
// real messages to its controls, against the real media services and registry
// of the test session. The dialog runs in a modal loop nested in the manager
// window's: a one-shot timer acts on it once it is up. These tests copy filters
// into the vendor categories: they hold the filter_categories lock and leave the
// categories as they found them.
#include <gtest/gtest.h>

#include <dshow.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "AddFilterDlg.h"
#include "AllocationProbe.h"
#include "FilterTip.h"
#include "CategoryMembers.h"
#include "ChildProcess.h"
#include "StandIns.h"
#include "TestHost.h"
#include "TestRegistry.h"
#include "VendorCategories.h"
#include "WindowDriver.h"
#include "resource.h"

namespace {

// Wine's own filter categories, which nobody here registered.
const char* const kWineCategories[] = {
    "Audio Capture Sources",  "Audio Compressors",     "Audio Renderers",
    "Device Control Filters", "DirectShow Filters",    "External Renderers",
    "Midi Renderers",         "Video Capture Sources", "Video Compressors",
};

HWND Tree(HWND dialog)
{
    return ::GetDlgItem(dialog, IDC_FILTER_TREE);
}

// The root items for a null parent, otherwise the parent's children.
std::vector<HTREEITEM> Items(HWND tree, HTREEITEM parent = nullptr)
{
    std::vector<HTREEITEM> items;
    HTREEITEM item = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
    for (; item; item = TreeView_GetNextSibling(tree, item))
        items.push_back(item);
    return items;
}

std::string ItemText(HWND tree, HTREEITEM item)
{
    char text[MAX_PATH] = "";
    TVITEMA tvi = {};
    tvi.mask = TVIF_TEXT;
    tvi.hItem = item;
    tvi.pszText = text;
    tvi.cchTextMax = ARRAYSIZE(text);
    TreeView_GetItem(tree, &tvi);
    return text;
}

std::vector<std::string> ItemTexts(HWND tree, HTREEITEM parent = nullptr)
{
    std::vector<std::string> texts;
    for (HTREEITEM item : Items(tree, parent))
        texts.push_back(ItemText(tree, item));
    return texts;
}

// The CLSID copy that an item's data word refers to (null for none).
const CLSID* ItemClsid(HWND tree, HTREEITEM item)
{
    TVITEMA tvi = {};
    tvi.mask = TVIF_PARAM;
    tvi.hItem = item;
    TreeView_GetItem(tree, &tvi);
    return reinterpret_cast<const CLSID*>(tvi.lParam);
}

// The first item under parent (the roots for null) that carries this CLSID, or null.
HTREEITEM FindItem(HWND tree, HTREEITEM parent, REFCLSID clsid)
{
    for (HTREEITEM item : Items(tree, parent))
        if (const CLSID* carried = ItemClsid(tree, item); carried && *carried == clsid)
            return item;
    return nullptr;
}

// Selects the filter with this CLSID under the first item of this category,
// the way the keyboard or the mouse would: the tree notifies the dialog of the
// change. Fails, for the caller to assert, when there is none.
::testing::AssertionResult SelectFilter(HWND dialog, REFCLSID category, REFCLSID filter)
{
    const HWND tree = Tree(dialog);
    const HTREEITEM categoryItem = FindItem(tree, nullptr, category);
    const HTREEITEM filterItem = categoryItem ? FindItem(tree, categoryItem, filter) : nullptr;
    if (!filterItem)
        return ::testing::AssertionFailure() << "no filter " << GuidText(filter) << " under that category";
    TreeView_SelectItem(tree, filterItem);
    return ::testing::AssertionSuccess();
}

// Selects that filter and presses OK.
void ChooseFilter(HWND dialog, REFCLSID category, REFCLSID filter)
{
    ASSERT_TRUE(SelectFilter(dialog, category, filter));
    ClickButton(::GetDlgItem(dialog, IDOK));
}

void ChooseAviSplitter(HWND dialog)
{
    ChooseFilter(dialog, CLSID_LegacyAmFilterCategory, CLSID_AviSplitter);
}

// A dialog that has ended is hidden at once and gives its owner back its input.
bool StillOpen(HWND dialog)
{
    return ::IsWindowVisible(dialog) && !::IsWindowEnabled(::GetWindow(dialog, GW_OWNER));
}

void SendCommand(HWND dialog, int id)
{
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// The dialog's answer to the tree's request for an item's tip, asked as the
// tree asks it, in the 8-bit form or (`wide`) the wide one, with room for
// `capacity` characters.
std::string InfoTip(HWND dialog, HTREEITEM item, int capacity = INFOTIPSIZE, bool wide = false)
{
    // One character past the room, to see that nothing was written there, and
    // a zero after it, so that what the dialog left unterminated reads safely.
    std::vector<char> narrow(static_cast<size_t>(capacity) + 2, '?');
    std::vector<wchar_t> text(static_cast<size_t>(capacity) + 2, L'?');
    narrow.back() = '\0';
    text.back() = L'\0';
    const HWND tree = Tree(dialog);
    NMTVGETINFOTIPW tip = {
        {tree, IDC_FILTER_TREE, wide ? TVN_GETINFOTIPW : TVN_GETINFOTIPA}, text.data(), capacity, item, 0};
    if (!wide)
        tip.pszText = reinterpret_cast<LPWSTR>(narrow.data()); // the forms differ in this alone
    ::SendMessageA(dialog, WM_NOTIFY, IDC_FILTER_TREE, reinterpret_cast<LPARAM>(&tip));
    const size_t past = static_cast<size_t>(capacity);
    EXPECT_EQ('?', wide ? static_cast<char>(text[past]) : narrow[past]) << "nothing written past the room";
    return wide ? AsciiText(text.data()) : std::string(narrow.data());
}

// How a run of the dialog ends: its result, and the category and filter it
// recorded (only OK records them).
struct Outcome
{
    INT_PTR result;
    CLSID category;
    CLSID filter;
};
const Outcome kCancelled = {IDCANCEL, GUID_NULL, GUID_NULL};

// Runs the dialog directly, owned by the manager window that runs it, with the
// steps inside its loop, and checks that it ends as expected.
void RunAddFilter(Here here, HWND manager, const Outcome& expected, const ModalStep& steps)
{
    const ::testing::ScopedTrace trace(here.file, here.line, "Add Filter dialog run here");
    CAddFilterDlg dialog;
    EXPECT_EQ(expected.result, RunOwnedDialog(here, manager, {steps}, [&] { return dialog.DoModal(); }));
    EXPECT_EQ(expected.category, dialog.m_clsidCategory);
    EXPECT_EQ(expected.filter, dialog.m_clsidFilter);
}

// Presses Add in the manager window and runs steps on the dialog it opens.
void PressAdd(Here here, HWND manager, const ModalStep& steps)
{
    const ::testing::ScopedTrace trace(here.file, here.line, "Add pressed here");
    ASSERT_TRUE(IsItemEnabled(manager, IDC_ADD));
    RunOwnedDialog(here, manager, {steps}, [manager] {
        ClickButton(::GetDlgItem(manager, IDC_ADD));
        return INT_PTR(0);
    });
}

// The text of a string value as read with the wide registry calls.
std::wstring TextOf(const RegValue& value)
{
    std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()),
                      value.data.size() / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

// A filter's registration in the video category, removed before and after the test.
struct VideoRegistration : ScopedClassesKey
{
    explicit VideoRegistration(REFCLSID filter)
        : ScopedClassesKey(InstancePath(CLSID_ZarvVideoProcessors, filter))
    {
        ::RegDeleteKeyA(HKEY_CLASSES_ROOT, path().c_str());
    }
};

// The first place from the left on an item's row, in the tree's client area,
// where the tree's hit test finds that item and `where` (TVHT_ONITEMLABEL,
// TVHT_ONITEMBUTTON, TVHT_ONITEMRIGHT and the rest); fails when there is none.
POINT FindOnRow(HWND tree, HTREEITEM item, UINT where)
{
    TreeView_EnsureVisible(tree, item);
    RECT row = {};
    TreeView_GetItemRect(tree, item, &row, FALSE);
    TVHITTESTINFO hit = {{row.left, (row.top + row.bottom) / 2}, 0, nullptr};
    for (; hit.pt.x < row.right; ++hit.pt.x)
        if (TreeView_HitTest(tree, &hit) == item && (hit.flags & where))
            return hit.pt;
    ADD_FAILURE() << "no place " << where << " on the row of " << ItemText(tree, item);
    return hit.pt;
}

// A double-click at a place of the tree as the mouse makes it: the pointer is
// there, and the message comes through the queue, so that the tree and the
// message's position agree.
void DoubleClickAt(HWND tree, POINT at)
{
    POINT screen = at;
    ::ClientToScreen(tree, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::PostMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    MSG message;
    while (::PeekMessageA(&message, tree, WM_LBUTTONDBLCLK, WM_LBUTTONDBLCLK, PM_REMOVE))
        ::DispatchMessageA(&message);
}

// Double-clicks an item: the item is selected by the first click, and the
// second comes as a double-click on its text.
void DoubleClickItem(HWND tree, HTREEITEM item)
{
    TreeView_SelectItem(tree, item);
    DoubleClickAt(tree, FindOnRow(tree, item, TVHT_ONITEMLABEL));
}

// Runs the platform's reg.exe and returns its exit code; -1 when it cannot be started.
DWORD RunReg(const std::wstring& arguments)
{
    DWORD exitCode = static_cast<DWORD>(-1);
    RunToExit(L"reg.exe " + arguments, exitCode);
    return exitCode;
}

// A file of the test's own in the temporary folder, deleted at the end.
struct ScopedTempFile
{
    ScopedTempFile() = default;
    ~ScopedTempFile() { ::DeleteFileW(path.c_str()); }
    ScopedTempFile(const ScopedTempFile&) = delete;
    ScopedTempFile& operator=(const ScopedTempFile&) = delete;

    // The file as reg.exe writes it: UTF-16 text.
    std::wstring Text() const
    {
        std::ifstream file(std::filesystem::path(path), std::ios::binary);
        const std::string bytes(std::istreambuf_iterator<char>(file), {});
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    }

    const std::wstring path = NewTempPath(L".reg");
};

// The cases copy into the vendor categories and choose the AVI Splitter, which
// Windows registers too.
class AddFilterDialog : public ClassesRootTest
{
protected:
    void SetUp() override
    {
        ClassesRootTest::SetUp();
        if (!IsSkipped() && !KeyExists(InstancePath(CLSID_LegacyAmFilterCategory, CLSID_AviSplitter)))
            GTEST_SKIP() << "no AVI Splitter registered";
    }
};

} // namespace

TEST_F(AddFilterDialog, ShowsWinesCategoriesSortedWithTheirFiltersSortedUnderEach)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "checks Wine's own categories and filters";
    RunManagerOnVideo(HERE, [](HWND manager) {
        ASSERT_NO_FATAL_FAILURE(PressAdd(HERE, manager, [](HWND dialog) {
            const HWND tree = Tree(dialog);
            EXPECT_EQ(tree, ::GetFocus());
            // The tree selects its first item as it takes the focus: a category.
            const HTREEITEM selected = TreeView_GetSelection(tree);
            EXPECT_TRUE(!selected || !TreeView_GetParent(tree, selected));
            EXPECT_FALSE(IsItemEnabled(dialog, IDOK));

            const std::vector<std::string> roots = ItemTexts(tree);
            EXPECT_TRUE(IsSortedBy(roots, ::lstrcmpA));
            for (const char* category : kWineCategories)
                EXPECT_EQ(1, std::count(roots.begin(), roots.end(), category)) << category;
            for (HTREEITEM root : Items(tree))
                EXPECT_TRUE(IsSortedBy(ItemTexts(tree, root), ::lstrcmpA)) << ItemText(tree, root);

            const HTREEITEM filters = FindItem(tree, nullptr, CLSID_LegacyAmFilterCategory);
            ASSERT_NE(nullptr, filters);
            EXPECT_EQ("DirectShow Filters", ItemText(tree, filters));
            EXPECT_EQ("AVI Splitter", ItemText(tree, FindItem(tree, filters, CLSID_AviSplitter)));
            // Wine's two video renderers share a name and stay two items.
            EXPECT_NE(nullptr, FindItem(tree, filters, CLSID_VideoRenderer));
            EXPECT_NE(nullptr, FindItem(tree, filters, CLSID_VideoRendererDefault));
            const std::vector<std::string> names = ItemTexts(tree, filters);
            EXPECT_EQ(2, std::count(names.begin(), names.end(), "Video Renderer"));
            // Their tips tell them apart, in either form: the CLSID, and the
            // file, quartz.dll for both; a category's tip is its CLSID.
            EXPECT_NE(0, ::GetWindowLongA(tree, GWL_STYLE) & TVS_INFOTIP);
            const std::string categoryTip = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
            for (const bool wide : {false, true})
            {
                EXPECT_EQ(categoryTip, InfoTip(dialog, filters, INFOTIPSIZE, wide));
                EXPECT_EQ(categoryTip.substr(0, 9), InfoTip(dialog, filters, 10, wide))
                    << "cut and terminated";
                for (const CLSID& renderer : {CLSID_VideoRenderer, CLSID_VideoRendererDefault})
                    EXPECT_EQ(GuidText(renderer) + "\r\nC:\\windows\\system32\\quartz.dll",
                              InfoTip(dialog, FindItem(tree, filters, renderer), INFOTIPSIZE, wide));
            }

            // Wine's video codecs are one filter class under several names:
            // each item still carries a copy of its own.
            const HTREEITEM compressors = FindItem(tree, nullptr, CLSID_VideoCompressorCategory);
            ASSERT_NE(nullptr, compressors);
            const std::vector<HTREEITEM> codecs = Items(tree, compressors);
            ASSERT_GE(codecs.size(), 2u);
            EXPECT_EQ(*ItemClsid(tree, codecs[0]), *ItemClsid(tree, codecs[1]));
            EXPECT_NE(ItemClsid(tree, codecs[0]), ItemClsid(tree, codecs[1]));
            SendCommand(dialog, IDCANCEL);
        }));
    });
}

TEST_F(AddFilterDialog, OkIsEnabledExactlyWhileAFilterIsSelected)
{
    RunManagerOnVideo(HERE, [](HWND manager) {
        RunAddFilter(HERE, manager, kCancelled, [](HWND dialog) {
            const HWND tree = Tree(dialog);
            // Whether OK is enabled once this item is selected.
            const auto okWith = [&](HTREEITEM item) {
                TreeView_SelectItem(tree, item);
                return IsItemEnabled(dialog, IDOK);
            };
            EXPECT_FALSE(IsItemEnabled(dialog, IDOK));
            const HTREEITEM category = FindItem(tree, nullptr, CLSID_LegacyAmFilterCategory);
            ASSERT_NE(nullptr, category);
            const HTREEITEM filter = FindItem(tree, category, CLSID_AviSplitter);
            ASSERT_NE(nullptr, filter);

            EXPECT_TRUE(okWith(filter));
            EXPECT_FALSE(okWith(nullptr));
            // An OK without a selected filter records nothing and ends nothing.
            SendCommand(dialog, IDOK);
            EXPECT_TRUE(StillOpen(dialog));

            EXPECT_FALSE(okWith(category));
            SendCommand(dialog, IDOK);
            EXPECT_TRUE(StillOpen(dialog));

            EXPECT_TRUE(okWith(filter));
            EXPECT_FALSE(okWith(FindItem(tree, nullptr, CLSID_VideoCompressorCategory)));
            ClickButton(::GetDlgItem(dialog, IDCANCEL));
        });
    });
}

TEST_F(AddFilterDialog, CopiesAChosenWineFilterByteForByteAndTheListShowsIt)
{
    VideoRegistration copy(CLSID_AviSplitter);
    RunManagerOnVideo(HERE, [&](HWND manager) {
        ASSERT_NO_FATAL_FAILURE(PressAdd(HERE, manager, ChooseAviSplitter));

        const auto source = ReadAllValues(InstancePath(CLSID_LegacyAmFilterCategory, CLSID_AviSplitter));
        ASSERT_FALSE(source.empty());
        EXPECT_EQ(source, ReadAllValues(copy.path()));
        EXPECT_EQ(Names{"AVI Splitter"}, ListedNames(Filters(manager), CLSID_AviSplitter));
        EXPECT_FALSE(IsItemEnabled(manager, IDC_REMOVE));
    });
}

TEST_F(AddFilterDialog, AddingAFilterTheCategoryHoldsSucceedsAndListsItOnce)
{
    VideoRegistration copy(CLSID_AviSplitter);
    RunManagerOnVideo(HERE, [&](HWND manager) {
        ASSERT_NO_FATAL_FAILURE(PressAdd(HERE, manager, ChooseAviSplitter));
        ASSERT_EQ(Names{"AVI Splitter"}, ListedNames(Filters(manager), CLSID_AviSplitter));
        // A selected entry shows whether the second Add refreshes the list.
        ASSERT_TRUE(SelectListEntry(Filters(manager), "AVI Splitter"));
        ASSERT_TRUE(IsItemEnabled(manager, IDC_REMOVE));

        ASSERT_NO_FATAL_FAILURE(PressAdd(HERE, manager, ChooseAviSplitter));
        EXPECT_FALSE(IsItemEnabled(manager, IDC_REMOVE));
        EXPECT_EQ(Names{"AVI Splitter"}, ListedNames(Filters(manager), CLSID_AviSplitter));
        EXPECT_EQ(ReadAllValues(InstancePath(CLSID_LegacyAmFilterCategory, CLSID_AviSplitter)),
                  ReadAllValues(copy.path()));
    });
}

// Wine lists its audio renderers from the devices it finds, not from Instance
// keys under the classes root: such a filter is added from its class key.
TEST_F(AddFilterDialog, AFilterWithoutAnInstanceKeyIsAddedUnderItsClassName)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "relies on Wine's audio renderers having no Instance keys";
    CLSID renderer = GUID_NULL;
    std::unique_ptr<VideoRegistration> copy;
    RunManagerOnVideo(HERE, [&](HWND manager) {
        ASSERT_NO_FATAL_FAILURE(PressAdd(HERE, manager, [&](HWND dialog) {
            const HWND tree = Tree(dialog);
            const HTREEITEM category = FindItem(tree, nullptr, CLSID_AudioRendererCategory);
            ASSERT_NE(nullptr, category);
            const std::vector<HTREEITEM> renderers = Items(tree, category);
            ASSERT_FALSE(renderers.empty()) << "Wine offers no audio renderer";
            renderer = *ItemClsid(tree, renderers.front());
            ASSERT_FALSE(KeyExists(InstancePath(CLSID_AudioRendererCategory, renderer)));
            copy = std::make_unique<VideoRegistration>(renderer);
            ChooseFilter(dialog, CLSID_AudioRendererCategory, renderer);
        }));
        ASSERT_TRUE(copy);

        RegValue className;
        ASSERT_TRUE(ReadValue(ClassPath(renderer), nullptr, className));
        RegValue friendlyName;
        RegValue clsidText;
        ASSERT_TRUE(ReadValue(copy->path(), L"FriendlyName", friendlyName));
        ASSERT_TRUE(ReadValue(copy->path(), L"CLSID", clsidText));
        EXPECT_EQ(className, friendlyName);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), clsidText.type);
        EXPECT_EQ(GuidTextW(renderer), TextOf(clsidText));
        EXPECT_EQ(Names{AsciiText(TextOf(className))}, ListedNames(Filters(manager), renderer));
    });
}

// Two categories with one name, both holding one filter: the registration is
// copied from the category item under which the filter was chosen.
TEST_F(AddFilterDialog, RecordsTheCategoryItemTheFilterWasChosenUnder)
{
    const std::wstring twinName = L"Twin category " + GuidTextW(NewGuid());
    RegisteredCategory first(twinName);
    RegisteredCategory second(twinName);
    const CLSID filter = NewGuid();
    first.Register(filter, L"Shared probe");
    second.Register(filter, L"Shared probe");
    const DWORD merit = 2; // tells the second registration from the first
    ASSERT_EQ(ERROR_SUCCESS,
              WriteValue(InstancePath(second.clsid, filter), L"Merit", REG_DWORD, &merit, sizeof merit));
    VideoRegistration copy(filter);

    RunManagerOnVideo(HERE, [&](HWND manager) {
        RunAddFilter(HERE, manager, {IDOK, second.clsid, filter}, [&](HWND dialog) {
            const HWND tree = Tree(dialog);
            const HTREEITEM firstItem = FindItem(tree, nullptr, first.clsid);
            const HTREEITEM secondItem = FindItem(tree, nullptr, second.clsid);
            ASSERT_NE(nullptr, firstItem);
            ASSERT_NE(nullptr, secondItem);
            ASSERT_NE(firstItem, secondItem);
            EXPECT_EQ(ItemText(tree, firstItem), ItemText(tree, secondItem));
            EXPECT_NE(nullptr, FindItem(tree, firstItem, filter));
            ChooseFilter(dialog, second.clsid, filter);
        });

        ASSERT_NO_FATAL_FAILURE(
            PressAdd(HERE, manager, [&](HWND dialog) { ChooseFilter(dialog, second.clsid, filter); }));
        EXPECT_EQ(ReadAllValues(InstancePath(second.clsid, filter)), ReadAllValues(copy.path()));
        EXPECT_EQ(Names{"Shared probe"}, ListedNames(Filters(manager), filter));
    });
}

TEST_F(AddFilterDialog, OfTwoFiltersWithOneNameTheChosenOneIsRecorded)
{
    RegisteredCategory category(L"Twin filters " + GuidTextW(NewGuid()));
    const CLSID left = NewGuid();
    const CLSID right = NewGuid();
    category.Register(left, L"Twin probe");
    category.Register(right, L"Twin probe");
    VideoRegistration leftCopy(left);
    VideoRegistration rightCopy(right);

    RunManagerOnVideo(HERE, [&](HWND manager) {
        ASSERT_NO_FATAL_FAILURE(PressAdd(HERE, manager, [&](HWND dialog) {
            const HWND tree = Tree(dialog);
            const HTREEITEM categoryItem = FindItem(tree, nullptr, category.clsid);
            ASSERT_NE(nullptr, categoryItem);
            EXPECT_EQ((std::vector<std::string>{"Twin probe", "Twin probe"}), ItemTexts(tree, categoryItem));
            EXPECT_NE(FindItem(tree, categoryItem, left), FindItem(tree, categoryItem, right));
            ChooseFilter(dialog, category.clsid, right);
        }));
        EXPECT_EQ(ReadAllValues(InstancePath(category.clsid, right)), ReadAllValues(rightCopy.path()));
        EXPECT_FALSE(KeyExists(leftCopy.path()));
        EXPECT_EQ(Names{"Twin probe"}, ListedNames(Filters(manager), right));
        EXPECT_TRUE(ListedNames(Filters(manager), left).empty());
    });
}

// Neither Cancel nor an OK whose copy fails (the CLSID cannot be put into text)
// writes the filter or lists the category again.
TEST_F(AddFilterDialog, CancelOrAFailedCopyAfterASelectionChangesNothing)
{
    RegisteredCategory listed(L"Listed " + GuidTextW(NewGuid()));
    RegisteredFilter held(CLSID_ZarvVideoProcessors, L"Held probe");
    VideoRegistration notCopied(CLSID_AviSplitter);
    const ScopedPlatformCall noText(&PlatformCalls::stringFromClsid, &FailStringFromClsid);

    RunManagerOnVideo(HERE, [&](HWND manager) {
        const HWND list = Filters(manager);
        ASSERT_TRUE(SelectListEntry(list, "Held probe"));
        ASSERT_TRUE(IsItemEnabled(manager, IDC_REMOVE));
        const std::vector<std::string> before = ListTexts(list);
        const int selected = ListBox_GetCurSel(list);

        for (const int end : {IDCANCEL, IDOK})
        {
            ASSERT_NO_FATAL_FAILURE(PressAdd(HERE, manager, [end](HWND dialog) {
                ASSERT_TRUE(SelectFilter(dialog, CLSID_LegacyAmFilterCategory, CLSID_AviSplitter));
                ASSERT_TRUE(IsItemEnabled(dialog, IDOK));
                ClickButton(::GetDlgItem(dialog, end));
            }));
            EXPECT_FALSE(KeyExists(notCopied.path())) << "ended with " << end;
            EXPECT_EQ(before, ListTexts(list)) << "ended with " << end;
            EXPECT_EQ(selected, ListBox_GetCurSel(list)) << "ended with " << end;
            EXPECT_TRUE(IsItemEnabled(manager, IDC_REMOVE)) << "ended with " << end;
            EXPECT_TRUE(IsItemEnabled(manager, IDC_ADD)) << "ended with " << end;
            // Add has the focus back as the default button: Enter presses it again.
            EXPECT_EQ(::GetDlgItem(manager, IDC_ADD), ::GetFocus()) << "ended with " << end;
            EXPECT_TRUE(::SendMessageA(::GetFocus(), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
                << "ended with " << end;
        }
    });
}

TEST_F(AddFilterDialog, EveryCopyIsFreedAndTheTreeEmptiedBeforeTheRunReturns)
{
    for (const int end : {IDOK, IDCANCEL})
    {
        std::vector<const void*> copies;
        // The tree is destroyed after the dialog's own WM_DESTROY.
        UINT countAtDestroy = UINT(-1);
        MessageWatch treeDestroyed(WM_DESTROY, [&](HWND tree) { countAtDestroy = TreeView_GetCount(tree); });
        RunManagerOnVideo(HERE, [&](HWND manager) {
            CAddFilterDlg addFilter;
            const INT_PTR result = RunOwnedDialog(
                HERE, manager, {[&](HWND dialog) {
                    const HWND tree = Tree(dialog);
                    for (HTREEITEM root : Items(tree))
                    {
                        copies.push_back(ItemClsid(tree, root));
                        for (HTREEITEM child : Items(tree, root))
                            copies.push_back(ItemClsid(tree, child));
                    }
                    EXPECT_EQ(copies.size(), TreeView_GetCount(tree));
                    ASSERT_TRUE(SelectFilter(dialog, CLSID_LegacyAmFilterCategory, CLSID_AviSplitter));
                    treeDestroyed.Watch(tree);
                    AllocationProbe::StartRecordingFrees();
                    ClickButton(::GetDlgItem(dialog, end));
                }},
                [&] { return addFilter.DoModal(); });
            AllocationProbe::StopRecordingFrees();
            EXPECT_EQ(end, result);
        });

        EXPECT_EQ(0u, countAtDestroy) << "ended with " << end;
        ASSERT_GE(copies.size(), std::size(kWineCategories));
        EXPECT_TRUE(AllocationProbe::EachOwnAndFreed(copies)) << "ended with " << end;
    }
}

TEST_F(AddFilterDialog, LeavesOutItemsWhoseClsidCannotBeCopied)
{
    RunManagerOnVideo(HERE, [](HWND manager) {
        AllocationProbe::FailNothrowAllocations noCopies(sizeof(CLSID));
        RunAddFilter(HERE, manager, kCancelled, [](HWND dialog) {
            EXPECT_EQ(0u, TreeView_GetCount(Tree(dialog)));
            EXPECT_FALSE(IsItemEnabled(dialog, IDOK));
            ClickButton(::GetDlgItem(dialog, IDCANCEL));
        });
    });
}

// Without a device enumerator of its own the dialog finds no category: the
// tree stays empty, OK stays disabled, and only Cancel or the close box end it.
TEST_F(AddFilterDialog, WithoutCategoriesOnlyCancelOrTheCloseBoxEndIt)
{
    RunManagerOnVideo(HERE, [](HWND manager) {
        ScopedCreation noDeviceEnumerator;
        noDeviceEnumerator.Fail(CLSID_SystemDeviceEnum, REGDB_E_CLASSNOTREG);
        const std::function<void(HWND)> closes[] = {
            [](HWND dialog) { ClickButton(::GetDlgItem(dialog, IDCANCEL)); },
            [](HWND dialog) { ::SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
        };
        for (const auto& close : closes)
        {
            RunAddFilter(HERE, manager, kCancelled, [&](HWND dialog) {
                EXPECT_EQ(0u, TreeView_GetCount(Tree(dialog)));
                EXPECT_FALSE(IsItemEnabled(dialog, IDOK));
                SendCommand(dialog, IDOK);
                EXPECT_TRUE(StillOpen(dialog));
                close(dialog);
            });
        }
    });
}

// The wait cursor shows while the tree is filled, and is gone once the dialog
// is up, whether the fill found categories or none.
TEST_F(AddFilterDialog, ShowsTheWaitCursorWhileItFillsTheTree)
{
    RunManagerOnVideo(HERE, [](HWND manager) {
        const HCURSOR wait = ::LoadCursor(nullptr, IDC_WAIT);
        for (const HRESULT created : {S_OK, REGDB_E_CLASSNOTREG})
        {
            SCOPED_TRACE(created);
            ScopedCreation devEnum;
            devEnum.Fail(CLSID_SystemDeviceEnum, created);
            ::SetCursor(::LoadCursor(nullptr, IDC_CROSS));
            RunAddFilter(HERE, manager, kCancelled, [&](HWND dialog) {
                EXPECT_EQ(created == S_OK, TreeView_GetCount(Tree(dialog)) > 0);
                EXPECT_NE(wait, ::GetCursor());
                ClickButton(::GetDlgItem(dialog, IDCANCEL));
            });
            ASSERT_FALSE(devEnum.requested.empty());
            EXPECT_EQ(wait, devEnum.last.cursor);
        }
    });
}

// A double-click on a filter chooses it as OK does; on a category it only
// opens the category, as Enter closes it; elsewhere on a row it chooses nothing.
TEST_F(AddFilterDialog, ADoubleClickChoosesAFilterAndOpensACategory)
{
    RegisteredCategory category(L"Double-click probes " + GuidTextW(NewGuid()));
    const CLSID filter = NewGuid();
    category.Register(filter, L"Double-click probe");
    RunManagerOnVideo(HERE, [&](HWND manager) {
        CAddFilterDlg onCategory;
        HTREEITEM item = nullptr;
        int characters = 0;
        MessageWatch enterCharacter(WM_CHAR, [&characters](HWND) { ++characters; });
        const auto expanded = [&](HWND dialog) {
            return (TreeView_GetItemState(Tree(dialog), item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
        };
        const INT_PTR categoryResult =
            RunOwnedDialog(HERE, manager,
                           {[&](HWND dialog) {
                                item = FindItem(Tree(dialog), nullptr, category.clsid);
                                ASSERT_NE(nullptr, item);
                                ASSERT_FALSE(expanded(dialog));
                                DoubleClickItem(Tree(dialog), item);
                                EXPECT_TRUE(StillOpen(dialog));
                                EXPECT_TRUE(expanded(dialog));
                                // Enter on the category closes it again, through the dialog's
                                // loop; its character never reaches the tree's own procedure.
                                enterCharacter.Watch(Tree(dialog), GWLP_USERDATA);
                                ::PostMessageA(Tree(dialog), WM_KEYDOWN, VK_RETURN, 1);
                            },
                            [&](HWND dialog) {
                                EXPECT_TRUE(StillOpen(dialog));
                                EXPECT_FALSE(expanded(dialog));
                                EXPECT_EQ(0, characters);
                                ClickButton(::GetDlgItem(dialog, IDCANCEL));
                            }},
                           [&] { return onCategory.DoModal(); });
        EXPECT_EQ(IDCANCEL, categoryResult);
        EXPECT_EQ(GUID_NULL, onCategory.m_clsidCategory);
        EXPECT_EQ(GUID_NULL, onCategory.m_clsidFilter);

        // With a filter selected, a double-click on another category's row
        // but off its text chooses nothing.
        for (const UINT where : {TVHT_ONITEMRIGHT, TVHT_ONITEMBUTTON})
        {
            SCOPED_TRACE(where);
            RunAddFilter(HERE, manager, kCancelled, [&](HWND dialog) {
                ASSERT_TRUE(SelectFilter(dialog, category.clsid, filter));
                const HTREEITEM other = FindItem(Tree(dialog), nullptr, CLSID_LegacyAmFilterCategory);
                ASSERT_NE(nullptr, other);
                DoubleClickAt(Tree(dialog), FindOnRow(Tree(dialog), other, where));
                EXPECT_TRUE(StillOpen(dialog));
                ClickButton(::GetDlgItem(dialog, IDCANCEL));
            });
        }

        RunAddFilter(HERE, manager, {IDOK, category.clsid, filter}, [&](HWND dialog) {
            ASSERT_TRUE(SelectFilter(dialog, category.clsid, filter));
            DoubleClickItem(Tree(dialog), TreeView_GetSelection(Tree(dialog)));
        });
    });
}

// The backup and restore that the page for Windows users gives, with the
// platform's reg.exe, around an Add and a Remove made through the windows: the
// category's filters come back exactly, the added one gone and the removed one
// back.
TEST_F(AddFilterDialog, ACategoryBackedUpWithRegComesBackExactlyAfterAnAddAndARemove)
{
    const RegisteredFilter member(CLSID_ZarvVideoProcessors, L"Backed-up filter");
    const VideoRegistration copy(CLSID_AviSplitter);
    const std::wstring instance = L"HKCR\\CLSID\\" + GuidTextW(CLSID_ZarvVideoProcessors) + L"\\Instance";
    const ScopedTempFile backup;
    const ScopedTempFile restored;
    ASSERT_EQ(0u, RunReg(L"export " + instance + L" \"" + backup.path + L"\" /y"));

    RunManagerOnVideo(HERE, [&](HWND manager) {
        ASSERT_NO_FATAL_FAILURE(PressAdd(HERE, manager, ChooseAviSplitter));
        ASSERT_TRUE(SelectListEntry(Filters(manager), member.clsid));
        ClickButton(::GetDlgItem(manager, IDC_REMOVE));
    });
    ASSERT_TRUE(KeyExists(copy.path()));
    ASSERT_FALSE(member.Registered());

    EXPECT_EQ(0u, RunReg(L"delete " + instance + L" /f"));
    EXPECT_EQ(0u, RunReg(L"import \"" + backup.path + L"\""));
    ASSERT_EQ(0u, RunReg(L"export " + instance + L" \"" + restored.path + L"\" /y"));
    EXPECT_EQ(backup.Text(), restored.Text());
    EXPECT_TRUE(member.Registered());
    EXPECT_FALSE(KeyExists(copy.path()));
}

namespace {

// A value of a filter's InprocServer32 key, and what its tip says after the
// CLSID: nothing for every value that names no file.
struct ServerValue : TableRow
{
    DWORD type;
    std::wstring data;            // stored without a terminating zero
    std::string file;             // empty: the tip names the CLSID alone
    const char* access = nullptr; // an access list for the key, in SDDL form
};

class FilterTip : public ClassesRootTest, public ::testing::WithParamInterface<ServerValue>
{
};

} // namespace

TEST_P(FilterTip, NamesTheServerFileOnlyWhereTheKeyNamesOne)
{
    const ServerValue& row = GetParam();
    const CLSID filter = NewGuid();
    const ScopedClassesKey classKey(ClassPath(filter));
    const std::string server = ClassPath(filter) + "\\InprocServer32";
    ASSERT_TRUE(CreateKey(server));
    if (row.type != REG_NONE)
    {
        ASSERT_EQ(ERROR_SUCCESS, WriteValue(server, nullptr, row.type, row.data.data(),
                                            static_cast<DWORD>(row.data.size() * sizeof(wchar_t))));
    }
    const auto before = ReadAllValues(server);
    std::vector<char> tip(INFOTIPSIZE);
    {
        const ScopedKeyAccess access(server, row.access ? row.access : kFullAccess);
        ASSERT_TRUE(access.applied());
        FormatFilterTip(filter, TipLines::ClsidAndServer, tip.data(), INFOTIPSIZE);
    }
    const std::string expected = GuidText(filter) + (row.file.empty() ? "" : "\r\n" + row.file);
    EXPECT_EQ(expected.substr(0, INFOTIPSIZE - 1), tip.data());
    EXPECT_TRUE(before == ReadAllValues(server)) << "nothing written";
    FormatFilterTip(filter, TipLines::ClsidOnly, tip.data(), INFOTIPSIZE);
    EXPECT_EQ(GuidText(filter), tip.data());
}

INSTANTIATE_TEST_SUITE_P(
    , FilterTip,
    ::testing::Values(
        ServerValue{{"File"}, REG_SZ, L"C:\\probe\\probe.ax", "C:\\probe\\probe.ax"},
        ServerValue{{"Expanded"}, REG_EXPAND_SZ, L"%SystemRoot%\\probe.ax", "C:\\windows\\probe.ax"},
        ServerValue{{"LongerThanTheTip"}, REG_SZ, std::wstring(4000, L'p'), std::string(4000, 'p')},
        ServerValue{{"Missing"}, REG_NONE, L"", ""}, ServerValue{{"Empty"}, REG_SZ, L"", ""},
        ServerValue{{"NotAString"}, REG_BINARY, L"probe.ax", ""},
        ServerValue{{"Of64KiB"}, REG_SZ, std::wstring(64 << 10, L'p'), ""},
        ServerValue{{"KeyUnreadable"}, REG_SZ, L"probe.ax", "", kNoAccess}),
    RowName());
