// The manager window run in-process, driven through real messages to its
// controls, against the real media services and registry of the test session.
// The vendor categories are shared by every test that uses them: these tests
// hold the filter_categories lock and leave the categories as they found them.
#include <gtest/gtest.h>

#include <dshow.h>

#include <algorithm>
#include <string>
#include <vector>

#include "AllocationProbe.h"
#include "CategoryMembers.h"
#include "ComPtr.h"
#include "IconPosition.h"
#include "PlatformCalls.h"
#include "ScopedPlatformCall.h"
#include "TestHost.h"
#include "TestRegistry.h"
#include "VendorCategories.h"
#include "WinApp.h"
#include "WindowDriver.h"
#include "ZarvFMgrDlg.h"
#include "resource.h"

namespace {

const char kAudio[] = "ZARV Audio Processors";
const char kVideo[] = "ZARV Video Processors";

// A filter registered in a category for the length of a test.
struct RegisteredFilter
{
    RegisteredFilter(REFCLSID category, const std::wstring& name, REFCLSID filter = NewGuid())
        : clsid(filter), key(InstancePath(category, filter))
    {
        EXPECT_EQ(ERROR_SUCCESS, WriteString(key.path(), L"FriendlyName", name));
        EXPECT_EQ(ERROR_SUCCESS, WriteString(key.path(), L"CLSID", GuidTextW(filter)));
    }
    bool Registered() const { return KeyExists(key.path()); }

    CLSID clsid;
    ScopedClassesKey key;
};

int MemberCount(REFCLSID category)
{
    return static_cast<int>(ListCategoryMembers(category).size());
}

HWND Categories(HWND dialog)
{
    return ::GetDlgItem(dialog, IDC_CATEGORY_LIST);
}

HWND Filters(HWND dialog)
{
    return ::GetDlgItem(dialog, IDC_FILTER_LIST);
}

::testing::AssertionResult SelectCategory(HWND dialog, const char* name)
{
    return SelectListEntry(Categories(dialog), name);
}

::testing::AssertionResult SelectFilter(HWND dialog, REFCLSID filter)
{
    return SelectListEntry(Filters(dialog), filter);
}

bool ListsFilter(HWND dialog, REFCLSID filter)
{
    return !ListEntriesOf(Filters(dialog), filter).empty();
}

INT_PTR RunManager(Here here, const ModalStep& steps)
{
    CZarvFMgrDlg dialog;
    return RunModal(here, dialog, steps);
}

// The media services as the window creates them, through the platform seam:
// either can be made to fail, and the device enumerator is wrapped so that it
// counts its references and can fail to list one category.
struct ServiceSetup
{
    HRESULT devEnumStatus = S_OK;
    HRESULT mapperStatus = S_OK;
    CLSID unlistable = GUID_NULL;
    std::vector<CLSID> requested;
    bool devEnumReleased = false;
    HCURSOR cursorWhileListing = nullptr; // the cursor at the last category listing
};
ServiceSetup* g_services = nullptr;

class WrappedDevEnum : public ICreateDevEnum
{
public:
    explicit WrappedDevEnum(ComPtr<ICreateDevEnum> real) : m_real(std::move(real)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (iid != IID_IUnknown && iid != IID_ICreateDevEnum)
        {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<ICreateDevEnum*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG references = --m_references;
        if (references == 0)
        {
            g_services->devEnumReleased = true;
            delete this;
        }
        return references;
    }
    STDMETHODIMP CreateClassEnumerator(REFCLSID category, IEnumMoniker** out, DWORD flags) override
    {
        g_services->cursorWhileListing = ::GetCursor();
        if (category == g_services->unlistable)
        {
            *out = nullptr;
            return E_FAIL;
        }
        return m_real->CreateClassEnumerator(category, out, flags);
    }

private:
    virtual ~WrappedDevEnum() = default;
    ComPtr<ICreateDevEnum> m_real;
    ULONG m_references = 1;
};

HRESULT WINAPI CreateService(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* out)
{
    g_services->requested.push_back(clsid);
    *out = nullptr;
    if (clsid == CLSID_SystemDeviceEnum)
    {
        if (FAILED(g_services->devEnumStatus))
            return g_services->devEnumStatus;
        ComPtr<ICreateDevEnum> real;
        const HRESULT hr = ::CoCreateInstance(clsid, outer, context, iid, real.put_void());
        if (FAILED(hr))
            return hr;
        *out = static_cast<ICreateDevEnum*>(new WrappedDevEnum(std::move(real)));
        return S_OK;
    }
    if (clsid == CLSID_FilterMapper2 && FAILED(g_services->mapperStatus))
        return g_services->mapperStatus;
    return ::CoCreateInstance(clsid, outer, context, iid, out);
}

class ScopedServices
{
public:
    ScopedServices() : m_seam(&PlatformCalls::coCreateInstance, &CreateService) { g_services = &setup; }
    ~ScopedServices() { g_services = nullptr; }
    ServiceSetup setup;

private:
    ScopedPlatformCall<decltype(PlatformCalls::coCreateInstance)> m_seam;
};

} // namespace

// Every case opens the window, which registers its categories.
using ManagerWindow = ClassesRootTest;

TEST_F(ManagerWindow, OpensWithBothCategoriesNothingSelectedAndEndsAsCancelled)
{
    const INT_PTR result = RunManager(HERE, [](HWND dialog) {
        EXPECT_EQ((std::vector<std::string>{kAudio, kVideo}), ListTexts(Categories(dialog)));
        ASSERT_NE(nullptr, ListEntryClsid(Categories(dialog), 0));
        ASSERT_NE(nullptr, ListEntryClsid(Categories(dialog), 1));
        EXPECT_EQ(CLSID_ZarvAudioProcessors, *ListEntryClsid(Categories(dialog), 0));
        EXPECT_EQ(CLSID_ZarvVideoProcessors, *ListEntryClsid(Categories(dialog), 1));
        EXPECT_EQ(LB_ERR, ::SendMessageA(Categories(dialog), LB_GETCURSEL, 0, 0));
        EXPECT_EQ(0, ::SendMessageA(Filters(dialog), LB_GETCOUNT, 0, 0));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_ADD));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_REMOVE));
        EXPECT_EQ(Categories(dialog), ::GetFocus());
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(nullptr, CWinApp::GetApp()->m_pMainWnd); // cleared with the window
}

TEST_F(ManagerWindow, SelectingACategoryWithoutFiltersEnablesAddOnly)
{
    ASSERT_EQ(0, MemberCount(CLSID_ZarvAudioProcessors)) << "the audio category must start empty";
    RunManager(HERE, [](HWND dialog) {
        ASSERT_TRUE(SelectCategory(dialog, kAudio));
        EXPECT_EQ(0, ::SendMessageA(Filters(dialog), LB_GETCOUNT, 0, 0));
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_ADD));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_REMOVE));
    });
}

TEST_F(ManagerWindow, ListsACategorysFiltersSortedEachWithItsOwnClsid)
{
    RegisteredFilter zeta(CLSID_ZarvVideoProcessors, L"Zeta probe");
    RegisteredFilter alpha(CLSID_ZarvVideoProcessors, L"Alpha probe");
    RegisteredFilter mu(CLSID_ZarvVideoProcessors, L"Mu probe");
    RunManager(HERE, [&](HWND dialog) {
        ASSERT_TRUE(SelectCategory(dialog, kVideo));
        const std::vector<std::string> texts = ListTexts(Filters(dialog));
        EXPECT_TRUE(
            std::is_sorted(texts.begin(), texts.end(), [](const std::string& a, const std::string& b) {
                return ::lstrcmpiA(a.c_str(), b.c_str()) < 0;
            }));
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
    });
}

TEST_F(ManagerWindow, RemoveDeletesExactlyTheSelectedRegistrationAndRefreshes)
{
    RegisteredFilter keep(CLSID_ZarvVideoProcessors, L"Kept probe");
    RegisteredFilter removed(CLSID_ZarvVideoProcessors, L"Removed probe");
    RunManager(HERE, [&](HWND dialog) {
        ASSERT_TRUE(SelectCategory(dialog, kVideo));
        ASSERT_TRUE(SelectFilter(dialog, removed.clsid));
        ASSERT_TRUE(IsItemEnabled(dialog, IDC_REMOVE));
        ClickButton(::GetDlgItem(dialog, IDC_REMOVE));

        EXPECT_FALSE(removed.Registered());
        EXPECT_TRUE(keep.Registered());
        EXPECT_FALSE(ListsFilter(dialog, removed.clsid));
        EXPECT_TRUE(ListsFilter(dialog, keep.clsid));
        EXPECT_EQ(LB_ERR, ::SendMessageA(Filters(dialog), LB_GETCURSEL, 0, 0));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_REMOVE));
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_ADD));
    });
}

TEST_F(ManagerWindow, FiltersWithTheSameNameAreBothListedAndEachRemovesOnlyItsOwnKey)
{
    RegisteredFilter first(CLSID_ZarvVideoProcessors, L"Twin probe");
    RegisteredFilter second(CLSID_ZarvVideoProcessors, L"Twin probe");
    RunManager(HERE, [&](HWND dialog) {
        ASSERT_TRUE(SelectCategory(dialog, kVideo));
        const std::vector<std::string> texts = ListTexts(Filters(dialog));
        EXPECT_EQ(2, std::count(texts.begin(), texts.end(), "Twin probe"));
        ASSERT_TRUE(ListsFilter(dialog, first.clsid));
        ASSERT_TRUE(ListsFilter(dialog, second.clsid));

        ASSERT_TRUE(SelectFilter(dialog, second.clsid));
        ClickButton(::GetDlgItem(dialog, IDC_REMOVE));
        EXPECT_FALSE(second.Registered());
        EXPECT_TRUE(first.Registered());
        EXPECT_TRUE(ListsFilter(dialog, first.clsid));
        EXPECT_FALSE(ListsFilter(dialog, second.clsid));

        ASSERT_TRUE(SelectFilter(dialog, first.clsid));
        ClickButton(::GetDlgItem(dialog, IDC_REMOVE));
        EXPECT_FALSE(first.Registered());
        EXPECT_EQ(-1, FindListText(Filters(dialog), "Twin probe"));
    });
}

TEST_F(ManagerWindow, RemovingAFilterWhoseKeyIsAlreadyGoneRefreshesWithoutIt)
{
    RegisteredFilter vanished(CLSID_ZarvVideoProcessors, L"Vanished probe");
    RunManager(HERE, [&](HWND dialog) {
        ASSERT_TRUE(SelectCategory(dialog, kVideo));
        ASSERT_TRUE(SelectFilter(dialog, vanished.clsid));
        ASSERT_EQ(ERROR_SUCCESS, ::RegDeleteKeyA(HKEY_CLASSES_ROOT, vanished.key.path().c_str()));

        ClickButton(::GetDlgItem(dialog, IDC_REMOVE));
        EXPECT_FALSE(ListsFilter(dialog, vanished.clsid));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_REMOVE));
    });
}

TEST_F(ManagerWindow, RemoveWithoutAKeyPathDeletesNothingAndKeepsTheList)
{
    RegisteredFilter filter(CLSID_ZarvVideoProcessors, L"Unnamed key probe");
    RunManager(HERE, [&](HWND dialog) {
        ASSERT_TRUE(SelectCategory(dialog, kVideo));
        ASSERT_TRUE(SelectFilter(dialog, filter.clsid));
        const std::vector<std::string> before = ListTexts(Filters(dialog));
        const LRESULT selected = ::SendMessageA(Filters(dialog), LB_GETCURSEL, 0, 0);
        {
            ScopedPlatformCall noText(&PlatformCalls::stringFromClsid, &FailStringFromClsid);
            ClickButton(::GetDlgItem(dialog, IDC_REMOVE));
        }
        EXPECT_TRUE(filter.Registered());
        EXPECT_EQ(before, ListTexts(Filters(dialog)));
        EXPECT_EQ(selected, ::SendMessageA(Filters(dialog), LB_GETCURSEL, 0, 0));
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_REMOVE));
    });
}

// A category that cannot be listed leaves the list showing the category
// listed before; Remove then acts on that one, whose filter the user selected.
TEST_F(ManagerWindow, RemoveActsOnTheListedCategoryAfterAListingFailed)
{
    ScopedServices services;
    services.setup.unlistable = CLSID_ZarvAudioProcessors;
    const CLSID filter = NewGuid();
    RegisteredFilter inVideo(CLSID_ZarvVideoProcessors, L"Shared probe", filter);
    RegisteredFilter inAudio(CLSID_ZarvAudioProcessors, L"Shared probe", filter);
    RunManager(HERE, [&](HWND dialog) {
        ASSERT_TRUE(SelectCategory(dialog, kVideo));
        ASSERT_TRUE(SelectFilter(dialog, filter));
        ASSERT_TRUE(SelectCategory(dialog, kAudio));
        EXPECT_EQ(FindListText(Categories(dialog), kAudio),
                  ::SendMessageA(Categories(dialog), LB_GETCURSEL, 0, 0));
        ASSERT_TRUE(ListsFilter(dialog, filter)); // still the video category's list
        ASSERT_TRUE(IsItemEnabled(dialog, IDC_REMOVE));
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_ADD));

        ClickButton(::GetDlgItem(dialog, IDC_REMOVE));
        EXPECT_FALSE(inVideo.Registered());
        EXPECT_TRUE(inAudio.Registered());
        EXPECT_FALSE(ListsFilter(dialog, filter));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_REMOVE));
    });
    EXPECT_TRUE(services.setup.devEnumReleased);
}

// The wait cursor shows while a category is listed, and the cursor of before
// is back afterwards, also when the listing fails.
TEST_F(ManagerWindow, ShowsTheWaitCursorWhileItListsACategory)
{
    ScopedServices services;
    services.setup.unlistable = CLSID_ZarvAudioProcessors;
    RegisteredFilter filter(CLSID_ZarvVideoProcessors, L"Cursor probe");
    RunManager(HERE, [&](HWND dialog) {
        const HCURSOR before = ::LoadCursor(nullptr, IDC_CROSS);
        for (const char* category : {kVideo, kAudio})
        {
            SCOPED_TRACE(category);
            services.setup.cursorWhileListing = nullptr;
            ::SetCursor(before);
            ASSERT_TRUE(SelectCategory(dialog, category));
            EXPECT_EQ(::LoadCursor(nullptr, IDC_WAIT), services.setup.cursorWhileListing);
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
            ASSERT_TRUE(SelectCategory(dialog, kVideo));
        }
        EXPECT_EQ(0, ::SendMessageA(Filters(dialog), LB_GETCOUNT, 0, 0));
        ASSERT_TRUE(SelectCategory(dialog, kAudio));
        ASSERT_TRUE(SelectCategory(dialog, kVideo));
        EXPECT_TRUE(ListsFilter(dialog, filter.clsid));
    });
}

TEST_F(ManagerWindow, FreesEveryClsidCopyWhenItCloses)
{
    RegisteredFilter first(CLSID_ZarvVideoProcessors, L"Freed probe");
    RegisteredFilter second(CLSID_ZarvVideoProcessors, L"Freed probe");
    std::vector<const void*> copies;
    RunManager(HERE, [&](HWND dialog) {
        ASSERT_TRUE(SelectCategory(dialog, kVideo));
        for (HWND list : {Categories(dialog), Filters(dialog)})
            for (int index = 0, count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
                 index < count; ++index)
                copies.push_back(ListEntryClsid(list, index));
        AllocationProbe::StartRecordingFrees();
    });
    AllocationProbe::StopRecordingFrees();

    ASSERT_GE(copies.size(), 4u);
    std::vector<const void*> distinct = copies;
    std::sort(distinct.begin(), distinct.end());
    EXPECT_EQ(distinct.end(), std::unique(distinct.begin(), distinct.end())) << "entries share a copy";
    for (const void* copy : copies)
    {
        EXPECT_NE(nullptr, copy);
        EXPECT_TRUE(AllocationProbe::WasFreed(copy));
    }
}

// One media service cannot be created: the window ends at once, without
// asking for the mapper once the device enumerator is missing, and keeps no
// service and no main-window designation.
struct MissingService
{
    const char* name;
    HRESULT devEnumStatus;
    HRESULT mapperStatus;
    std::vector<CLSID> requested;
};

void PrintTo(const MissingService& missing, std::ostream* out)
{
    *out << missing.name;
}

class ManagerWindowWithoutService : public ClassesRootTest,
                                    public ::testing::WithParamInterface<MissingService>
{
};

TEST_P(ManagerWindowWithoutService, EndsAtOnce)
{
    ScopedServices services;
    services.setup.devEnumStatus = GetParam().devEnumStatus;
    services.setup.mapperStatus = GetParam().mapperStatus;
    CZarvFMgrDlg dialog;
    EXPECT_EQ(-1, RunModalEndingAtStart(HERE, dialog));
    EXPECT_EQ(GetParam().requested, services.setup.requested);
    EXPECT_EQ(SUCCEEDED(GetParam().devEnumStatus), services.setup.devEnumReleased);
    EXPECT_EQ(nullptr, CWinApp::GetApp()->m_pMainWnd);
}

INSTANTIATE_TEST_SUITE_P(
    EachService, ManagerWindowWithoutService,
    ::testing::Values(MissingService{"DeviceEnumerator", REGDB_E_CLASSNOTREG, S_OK, {CLSID_SystemDeviceEnum}},
                      MissingService{"FilterMapper",
                                     S_OK,
                                     REGDB_E_CLASSNOTREG,
                                     {CLSID_SystemDeviceEnum, CLSID_FilterMapper2}}),
    [](const ::testing::TestParamInfo<MissingService>& info) { return std::string(info.param.name); });

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
        EXPECT_EQ(dragIcon, ::SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
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
            ASSERT_TRUE(SelectCategory(window, kVideo));
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
