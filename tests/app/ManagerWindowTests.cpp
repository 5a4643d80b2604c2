// The manager window run in-process, driven through real messages to its
// controls, against the real media services and registry of the test session.
// The vendor categories are shared by every test that uses them: these tests
// hold the filter_categories lock and leave the categories as they found them.
#include <gtest/gtest.h>

#include <dshow.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "AllocationProbe.h"
#include "CategoryMembers.h"
#include "ComPtr.h"
#include "IconPosition.h"
#include "StandIns.h"
#include "TestHost.h"
#include "TestRegistry.h"
#include "VendorCategories.h"
#include "WinApp.h"
#include "WindowDriver.h"
#include "ZarvFMgrDlg.h"
#include "resource.h"

namespace {

bool ListsFilter(HWND dialog, REFCLSID filter)
{
    return !ListEntriesOf(Filters(dialog), filter).empty();
}

// The platform's device enumerator as the window is given it while the object
// lives (`services` gives it): one category can be made to fail its listing,
// and the cursor at each listing is kept.
class ListingDevEnum : public FakeComObject<ICreateDevEnum>
{
public:
    explicit ListingDevEnum(REFCLSID failing = GUID_NULL)
        : FakeComObject(IID_ICreateDevEnum), unlistable(failing), m_real(DeviceEnumerator())
    {
        services.Give(CLSID_SystemDeviceEnum, this);
    }

    STDMETHODIMP CreateClassEnumerator(REFCLSID category, IEnumMoniker** out, DWORD flags) override
    {
        cursorWhileListing = ::GetCursor();
        if (category == unlistable)
        {
            *out = nullptr;
            return E_FAIL;
        }
        return m_real->CreateClassEnumerator(category, out, flags);
    }

    const CLSID unlistable;
    HCURSOR cursorWhileListing = nullptr; // at the last listing
    ScopedCreation services;

private:
    ComPtr<ICreateDevEnum> m_real;
};

} // namespace

// Every case opens the window, which registers its categories.
using ManagerWindow = ClassesRootTest;

TEST_F(ManagerWindow, OpensWithBothCategoriesNothingSelectedAndEndsAsCancelled)
{
    const INT_PTR result = RunManager(HERE, [](HWND dialog) {
        EXPECT_EQ((std::vector<std::string>{kAudio, kVideo}), ListTexts(Categories(dialog)));
        EXPECT_EQ(std::vector<int>{0}, ListEntriesOf(Categories(dialog), CLSID_ZarvAudioProcessors));
        EXPECT_EQ(std::vector<int>{1}, ListEntriesOf(Categories(dialog), CLSID_ZarvVideoProcessors));
        EXPECT_EQ(LB_ERR, ListBox_GetCurSel(Categories(dialog)));
        EXPECT_EQ(0, ListBox_GetCount(Filters(dialog)));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_ADD));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_REMOVE));
        EXPECT_EQ(Categories(dialog), ::GetFocus());
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(nullptr, CWinApp::GetApp()->m_pMainWnd); // cleared with the window
}

TEST_F(ManagerWindow, SelectingACategoryWithoutFiltersEnablesAddOnly)
{
    ASSERT_TRUE(ListCategoryMembers(CLSID_ZarvAudioProcessors).empty())
        << "the audio category must start empty";
    RunManager(HERE, [](HWND dialog) {
        ASSERT_TRUE(SelectListEntry(Categories(dialog), kAudio));
        EXPECT_EQ(0, ListBox_GetCount(Filters(dialog)));
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_ADD));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_REMOVE));
    });
}

// Each entry's tip shows while the pointer rests on it, another's for another
// entry, and none over the list below its entries; the tip goes with the window.
TEST_F(ManagerWindow, ListsACategorysFiltersSortedEachWithItsOwnClsid)
{
    RegisteredFilter zeta(CLSID_ZarvVideoProcessors, L"Zeta probe");
    RegisteredFilter alpha(CLSID_ZarvVideoProcessors, L"Alpha probe");
    RegisteredFilter mu(CLSID_ZarvVideoProcessors, L"Mu probe");
    RegisteredFilter splitter(CLSID_ZarvVideoProcessors, L"AVI Splitter", CLSID_AviSplitter);
    HWND tip = nullptr;
    RunManagerOnVideo(HERE, [&](HWND dialog) {
        const std::vector<std::string> texts = ListTexts(Filters(dialog));
        EXPECT_TRUE(IsSortedBy(texts, ::lstrcmpiA));
        const int alphaAt = FindListText(Filters(dialog), "Alpha probe");
        const int muAt = FindListText(Filters(dialog), "Mu probe");
        const int zetaAt = FindListText(Filters(dialog), "Zeta probe");
        ASSERT_GE(alphaAt, 0);
        EXPECT_LT(alphaAt, muAt);
        EXPECT_LT(muAt, zetaAt);
        EXPECT_EQ(alpha.clsid, *ListEntryClsid(Filters(dialog), alphaAt));
        EXPECT_EQ(zeta.clsid, *ListEntryClsid(Filters(dialog), zetaAt));
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_ADD));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_REMOVE));
        // While its redrawing is off a list box leaves its scroll bar as it was.
        SCROLLINFO scroll = {};
        scroll.cbSize = sizeof scroll;
        scroll.fMask = SIF_RANGE;
        ::GetScrollInfo(Filters(dialog), SB_VERT, &scroll);
        EXPECT_EQ(static_cast<int>(texts.size()) - 1, scroll.nMax) << "redrawing stayed off";

        ClickListItem(Filters(dialog), muAt);
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_REMOVE));

        // Other tests share the display: the window stays on top.
        ::SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        tip = FindOwnedWindow(dialog, TOOLTIPS_CLASSA, false);
        ASSERT_NE(nullptr, tip);
        ::SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 1);
        const HWND list = Filters(dialog);
        const auto shows = [tip](const std::string& text) {
            return PumpUntil([&] { return ::IsWindowVisible(tip) && WindowText(tip) == text; });
        };
        RegValue file; // the splitter's file, as its class names it
        ASSERT_TRUE(ReadValueA(ClassPath(CLSID_AviSplitter) + "\\InprocServer32", nullptr, file));
        const std::string splitterFile(file.data.begin(), std::find(file.data.begin(), file.data.end(), 0));
        for (const auto& [filter, text] :
             {std::pair{&splitter, "{1B544C20-FD0B-11CE-8C63-00AA0044B51E}\r\n" + splitterFile},
              std::pair{&mu, GuidText(mu.clsid)}})
        {
            const std::vector<int> entries = ListEntriesOf(list, filter->clsid);
            ASSERT_EQ(1u, entries.size());
            RECT entry = {};
            ListBox_GetItemRect(list, entries[0], &entry);
            SendPointerInput(list, Centre(entry));
            EXPECT_TRUE(shows(text)) << "shows \"" << WindowText(tip) << "\" for " << GuidText(filter->clsid);
        }
        RECT client = {};
        ::GetClientRect(list, &client);
        SendPointerInput(list, POINT{Centre(client).x, client.bottom - 2});
        EXPECT_TRUE(PumpUntil([tip] { return !::IsWindowVisible(tip); })) << "the entry's tip goes";
        EXPECT_FALSE(PumpUntil([tip] { return ::IsWindowVisible(tip) && !WindowText(tip).empty(); }, 500))
            << "below the entries it shows \"" << WindowText(tip) << "\"";
    });
    EXPECT_FALSE(::IsWindow(tip));
}

TEST_F(ManagerWindow, RemoveDeletesExactlyTheSelectedRegistrationAndRefreshes)
{
    RegisteredFilter keep(CLSID_ZarvVideoProcessors, L"Kept probe");
    RegisteredFilter removed(CLSID_ZarvVideoProcessors, L"Removed probe");
    RunManagerOnVideo(HERE, [&](HWND dialog) {
        ASSERT_TRUE(SelectListEntry(Filters(dialog), removed.clsid));
        ASSERT_TRUE(IsItemEnabled(dialog, IDC_REMOVE));
        ::SetFocus(::GetDlgItem(dialog, IDC_REMOVE)); // pressed from the keyboard
        ClickButton(::GetDlgItem(dialog, IDC_REMOVE));

        EXPECT_FALSE(removed.Registered());
        EXPECT_TRUE(keep.Registered());
        EXPECT_FALSE(ListsFilter(dialog, removed.clsid));
        EXPECT_TRUE(ListsFilter(dialog, keep.clsid));
        EXPECT_EQ(LB_ERR, ListBox_GetCurSel(Filters(dialog)));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_REMOVE));
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_ADD));
        // The keyboard keeps its place on an enabled control.
        const HWND focus = ::GetFocus();
        EXPECT_TRUE(::IsChild(dialog, focus) && ::IsWindowEnabled(focus)) << "focus on " << focus;
    });
}

TEST_F(ManagerWindow, FiltersWithTheSameNameAreBothListedAndEachRemovesOnlyItsOwnKey)
{
    RegisteredFilter first(CLSID_ZarvVideoProcessors, L"Twin probe");
    RegisteredFilter second(CLSID_ZarvVideoProcessors, L"Twin probe");
    RunManagerOnVideo(HERE, [&](HWND dialog) {
        ASSERT_EQ(Names{"Twin probe"}, ListedNames(Filters(dialog), first.clsid));
        ASSERT_EQ(Names{"Twin probe"}, ListedNames(Filters(dialog), second.clsid));

        ASSERT_TRUE(SelectListEntry(Filters(dialog), second.clsid));
        ClickButton(::GetDlgItem(dialog, IDC_REMOVE));
        EXPECT_FALSE(second.Registered());
        EXPECT_TRUE(first.Registered());
        EXPECT_TRUE(ListsFilter(dialog, first.clsid));
        EXPECT_FALSE(ListsFilter(dialog, second.clsid));

        ASSERT_TRUE(SelectListEntry(Filters(dialog), first.clsid));
        ClickButton(::GetDlgItem(dialog, IDC_REMOVE));
        EXPECT_FALSE(first.Registered());
        EXPECT_EQ(-1, FindListText(Filters(dialog), "Twin probe"));
    });
}

TEST_F(ManagerWindow, RemovingAFilterWhoseKeyIsAlreadyGoneRefreshesWithoutIt)
{
    RegisteredFilter vanished(CLSID_ZarvVideoProcessors, L"Vanished probe");
    RunManagerOnVideo(HERE, [&](HWND dialog) {
        ASSERT_TRUE(SelectListEntry(Filters(dialog), vanished.clsid));
        ASSERT_EQ(ERROR_SUCCESS, ::RegDeleteKeyA(HKEY_CLASSES_ROOT, vanished.path().c_str()));

        ClickButton(::GetDlgItem(dialog, IDC_REMOVE));
        EXPECT_FALSE(ListsFilter(dialog, vanished.clsid));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_REMOVE));
    });
}

TEST_F(ManagerWindow, RemoveWithoutAKeyPathDeletesNothingAndKeepsTheList)
{
    RegisteredFilter filter(CLSID_ZarvVideoProcessors, L"Unnamed key probe");
    RunManagerOnVideo(HERE, [&](HWND dialog) {
        ASSERT_TRUE(SelectListEntry(Filters(dialog), filter.clsid));
        const std::vector<std::string> before = ListTexts(Filters(dialog));
        const LRESULT selected = ListBox_GetCurSel(Filters(dialog));
        {
            ScopedPlatformCall noText(&PlatformCalls::stringFromClsid, &FailStringFromClsid);
            ClickButton(::GetDlgItem(dialog, IDC_REMOVE));
        }
        EXPECT_TRUE(filter.Registered());
        EXPECT_EQ(before, ListTexts(Filters(dialog)));
        EXPECT_EQ(selected, ListBox_GetCurSel(Filters(dialog)));
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_REMOVE));
    });
}

// A category that cannot be listed leaves the list showing the category
// listed before; Remove then acts on that one, whose filter the user selected.
TEST_F(ManagerWindow, RemoveActsOnTheListedCategoryAfterAListingFailed)
{
    ListingDevEnum devEnum(CLSID_ZarvAudioProcessors);
    const CLSID filter = NewGuid();
    RegisteredFilter inVideo(CLSID_ZarvVideoProcessors, L"Shared probe", filter);
    RegisteredFilter inAudio(CLSID_ZarvAudioProcessors, L"Shared probe", filter);
    RunManagerOnVideo(HERE, [&](HWND dialog) {
        ASSERT_TRUE(SelectListEntry(Filters(dialog), filter));
        ASSERT_TRUE(SelectListEntry(Categories(dialog), kAudio));
        EXPECT_EQ(FindListText(Categories(dialog), kAudio), ListBox_GetCurSel(Categories(dialog)));
        ASSERT_TRUE(ListsFilter(dialog, filter)); // still the video category's list
        ASSERT_TRUE(IsItemEnabled(dialog, IDC_REMOVE));
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_ADD));

        ClickButton(::GetDlgItem(dialog, IDC_REMOVE));
        EXPECT_FALSE(inVideo.Registered());
        EXPECT_TRUE(inAudio.Registered());
        EXPECT_FALSE(ListsFilter(dialog, filter));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_REMOVE));
    });
    EXPECT_TRUE(devEnum.balanced());
}

// The wait cursor shows while a category is listed, and the cursor of before
// is back afterwards, also when the listing fails.
TEST_F(ManagerWindow, ShowsTheWaitCursorWhileItListsACategory)
{
    ListingDevEnum devEnum(CLSID_ZarvAudioProcessors);
    RegisteredFilter filter(CLSID_ZarvVideoProcessors, L"Cursor probe");
    RunManager(HERE, [&](HWND dialog) {
        const HCURSOR before = ::LoadCursor(nullptr, IDC_CROSS);
        for (const char* category : {kVideo, kAudio})
        {
            SCOPED_TRACE(category);
            devEnum.cursorWhileListing = nullptr;
            ::SetCursor(before);
            ASSERT_TRUE(SelectListEntry(Categories(dialog), category));
            EXPECT_EQ(::LoadCursor(nullptr, IDC_WAIT), devEnum.cursorWhileListing);
            EXPECT_EQ(before, ::GetCursor());
        }
    });
}

TEST_F(ManagerWindow, AnEntryWhoseClsidCannotBeCopiedIsLeftOut)
{
    RegisteredFilter filter(CLSID_ZarvVideoProcessors, L"Copy probe");
    RunManager(HERE, [&](HWND dialog) {
        {
            AllocationProbe::FailNothrowAllocations noCopies(sizeof(CLSID));
            ASSERT_TRUE(SelectListEntry(Categories(dialog), kVideo));
        }
        EXPECT_EQ(0, ListBox_GetCount(Filters(dialog)));
        ASSERT_TRUE(SelectListEntry(Categories(dialog), kAudio));
        ASSERT_TRUE(SelectListEntry(Categories(dialog), kVideo));
        EXPECT_TRUE(ListsFilter(dialog, filter.clsid));
    });
}

TEST_F(ManagerWindow, FreesEveryClsidCopyWhenItCloses)
{
    RegisteredFilter first(CLSID_ZarvVideoProcessors, L"Freed probe");
    RegisteredFilter second(CLSID_ZarvVideoProcessors, L"Freed probe");
    std::vector<const void*> copies;
    RunManagerOnVideo(HERE, [&](HWND dialog) {
        for (HWND list : {Categories(dialog), Filters(dialog)})
            for (int index = 0, count = ListBox_GetCount(list); index < count; ++index)
                copies.push_back(ListEntryClsid(list, index));
        AllocationProbe::StartRecordingFrees();
    });
    AllocationProbe::StopRecordingFrees();

    ASSERT_GE(copies.size(), 4u);
    EXPECT_TRUE(AllocationProbe::EachOwnAndFreed(copies));
}

// One media service cannot be created: the window ends at once, without
// asking for the mapper once the device enumerator is missing, and keeps no
// service and no main-window designation.
struct MissingService : TableRow
{
    CLSID missing;
    std::vector<CLSID> requested;
};

class ManagerWindowWithoutService : public ClassesRootTest,
                                    public ::testing::WithParamInterface<MissingService>
{
};

TEST_P(ManagerWindowWithoutService, EndsAtOnce)
{
    ListingDevEnum devEnum;
    devEnum.services.Fail(GetParam().missing, REGDB_E_CLASSNOTREG);
    CZarvFMgrDlg dialog;
    CWinApp::GetApp()->m_pMainWnd = &dialog;
    const ModalRun run = RunInsideModal(dialog, {});
    EXPECT_FALSE(run.leftOpen) << "the window came up";
    EXPECT_EQ(-1, run.result);
    EXPECT_EQ(GetParam().requested, devEnum.services.requested);
    EXPECT_TRUE(devEnum.balanced());
    EXPECT_EQ(nullptr, CWinApp::GetApp()->m_pMainWnd);
}

INSTANTIATE_TEST_SUITE_P(
    EachService, ManagerWindowWithoutService,
    ::testing::Values(
        MissingService{{"DeviceEnumerator"}, CLSID_SystemDeviceEnum, {CLSID_SystemDeviceEnum}},
        MissingService{{"FilterMapper"}, CLSID_FilterMapper2, {CLSID_SystemDeviceEnum, CLSID_FilterMapper2}}),
    RowName());

TEST_F(ManagerWindow, SystemMenuEndsWithTheAboutItemAfterASeparator)
{
    RunManager(HERE, [](HWND dialog) {
        const HMENU menu = ::GetSystemMenu(dialog, FALSE);
        ASSERT_NE(nullptr, menu);
        const int count = ::GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), ::GetMenuItemID(menu, count - 1));
        char text[64] = {};
        ::GetMenuStringA(menu, count - 1, text, ARRAYSIZE(text), MF_BYPOSITION);
        EXPECT_STREQ("&About Filter Manager...", text);
        EXPECT_TRUE(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
    });
}

TEST_F(ManagerWindow, EveryAboutSystemCommandRunsTheAboutBoxOverTheWindow)
{
    RunManager(HERE, [](HWND dialog) {
        for (WPARAM command : {WPARAM(IDM_ABOUTBOX), WPARAM(IDM_ABOUTBOX | 0x000F)})
        {
            HWND box = nullptr;
            RunOwnedDialog(HERE, dialog, {[&](HWND shown) {
                               box = shown;
                               EXPECT_NE(dialog, shown);
                               EXPECT_FALSE(::IsWindowEnabled(dialog));
                               char productLine[128] = {};
                               ::GetDlgItemTextA(shown, IDC_ABOUT_TITLE, productLine, ARRAYSIZE(productLine));
                               EXPECT_STREQ("TAVELMIR Multimedia Filter Manager 64", productLine);
                               ::SendMessageA(shown, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                           }},
                           [&] { return ::SendMessageA(dialog, WM_SYSCOMMAND, command, 0); });
            ASSERT_NE(nullptr, box) << command;
            EXPECT_FALSE(::IsWindow(box));
            EXPECT_TRUE(::IsWindowEnabled(dialog));
        }
    });
}

TEST_F(ManagerWindow, DragIconIsTheWindowsIcon)
{
    RunManager(HERE, [](HWND dialog) {
        const LRESULT dragIcon = ::SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0);
        EXPECT_NE(0, dragIcon);
        EXPECT_EQ(dragIcon, ::SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));
    });
}

TEST_F(ManagerWindow, MinimisedItErasesTheIconBackgroundAsItPaints)
{
    RunManager(HERE, [](HWND dialog) {
        int erasures = 0;
        MessageWatch erase(WM_ICONERASEBKGND, [&](HWND) { ++erasures; });
        ::ShowWindow(dialog, SW_MINIMIZE);
        ASSERT_TRUE(::IsIconic(dialog));
        erase.Watch(dialog);
        ::SendMessageA(dialog, WM_PAINT, 0, 0);
        EXPECT_EQ(1, erasures);
    });
}

// The controls attach to the window of each run, not only to the first one's.
TEST_F(ManagerWindow, OneWindowObjectRunsTwice)
{
    RegisteredFilter filter(CLSID_ZarvVideoProcessors, L"Rerun probe");
    CZarvFMgrDlg dialog;
    for (int run = 1; run <= 2; ++run)
    {
        const INT_PTR result = RunModal(HERE, dialog, [&](HWND window) {
            ASSERT_TRUE(SelectListEntry(Categories(window), kVideo));
            EXPECT_TRUE(ListsFilter(window, filter.clsid)) << "run " << run;
        });
        EXPECT_EQ(IDCANCEL, result) << "run " << run;
    }
}

TEST(IconPosition, CentresTheIconWithTheOddPixelOnTheLeftAndTop)
{
    const POINT even = CenteredIconPosition(RECT{0, 0, 100, 64}, 32, 32);
    EXPECT_EQ(34, even.x);
    EXPECT_EQ(16, even.y);
    const POINT odd = CenteredIconPosition(RECT{0, 0, 101, 65}, 32, 32);
    EXPECT_EQ(35, odd.x); // 69 pixels free: 35 left, 34 right
    EXPECT_EQ(17, odd.y);
    const POINT tooSmall = CenteredIconPosition(RECT{0, 0, 10, 11}, 32, 32);
    EXPECT_EQ(-10, tooSmall.x); // -21 / 2 truncates toward zero
    EXPECT_EQ(-10, tooSmall.y);
}
