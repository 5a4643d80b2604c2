// The manager window run in-process, driven through real messages to its
// controls, against the real media services and registry of the test session.
// The vendor categories are shared by every test that uses them: these tests
// hold the vendor_categories lock and leave the categories as they found them.
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

void SelectCategory(HWND dialog, const char* name)
{
    const int index = FindListText(Categories(dialog), name);
    ASSERT_GE(index, 0) << name;
    ClickListItem(Categories(dialog), index);
}

// Selects the filter entry that carries this CLSID.
void SelectFilter(HWND dialog, REFCLSID filter)
{
    const HWND list = Filters(dialog);
    const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index)
    {
        const CLSID* clsid = ListEntryClsid(list, index);
        if (clsid && *clsid == filter)
        {
            ClickListItem(list, index);
            return;
        }
    }
    ADD_FAILURE() << "no entry for " << GuidText(filter);
}

bool ListsFilter(HWND dialog, REFCLSID filter)
{
    const HWND list = Filters(dialog);
    const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index)
    {
        const CLSID* clsid = ListEntryClsid(list, index);
        if (clsid && *clsid == filter)
            return true;
    }
    return false;
}

INT_PTR RunManager(const std::function<void(HWND)>& steps)
{
    CZarvFMgrDlg dialog;
    return RunModal(dialog, steps);
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
    ScopedPlatformCall<HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*)> m_seam;
};

HRESULT WINAPI FailStringFromClsid(REFCLSID, LPOLESTR* text)
{
    *text = nullptr;
    return E_OUTOFMEMORY;
}

} // namespace

TEST(ManagerWindow, OpensWithBothCategoriesNothingSelectedAndEndsAsCancelled)
{
    const INT_PTR result = RunManager([](HWND dialog) {
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

TEST(ManagerWindow, SelectingACategoryWithoutFiltersEnablesAddOnly)
{
    ASSERT_EQ(0, MemberCount(CLSID_ZarvAudioProcessors)) << "the audio category must start empty";
    RunManager([](HWND dialog) {
        SelectCategory(dialog, kAudio);
        EXPECT_EQ(0, ::SendMessageA(Filters(dialog), LB_GETCOUNT, 0, 0));
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_ADD));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_REMOVE));
    });
}

TEST(ManagerWindow, ListsACategorysFiltersSortedEachWithItsOwnClsid)
{
    RegisteredFilter zeta(CLSID_ZarvVideoProcessors, L"Zeta probe");
    RegisteredFilter alpha(CLSID_ZarvVideoProcessors, L"Alpha probe");
    RegisteredFilter mu(CLSID_ZarvVideoProcessors, L"Mu probe");
    RunManager([&](HWND dialog) {
        SelectCategory(dialog, kVideo);
        const std::vector<std::string> texts = ListTexts(Filters(dialog));
        EXPECT_TRUE(std::is_sorted(texts.begin(), texts.end(), [](const std::string& a, const std::string& b) {
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

        ClickListItem(Filters(dialog), muAt);
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_REMOVE));
    });
}

TEST(ManagerWindow, RemoveDeletesExactlyTheSelectedRegistrationAndRefreshes)
{
    RegisteredFilter keep(CLSID_ZarvVideoProcessors, L"Kept probe");
    RegisteredFilter removed(CLSID_ZarvVideoProcessors, L"Removed probe");
    RunManager([&](HWND dialog) {
        SelectCategory(dialog, kVideo);
        SelectFilter(dialog, removed.clsid);
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

TEST(ManagerWindow, FiltersWithTheSameNameAreBothListedAndEachRemovesOnlyItsOwnKey)
{
    RegisteredFilter first(CLSID_ZarvVideoProcessors, L"Twin probe");
    RegisteredFilter second(CLSID_ZarvVideoProcessors, L"Twin probe");
    RunManager([&](HWND dialog) {
        SelectCategory(dialog, kVideo);
        const std::vector<std::string> texts = ListTexts(Filters(dialog));
        EXPECT_EQ(2, std::count(texts.begin(), texts.end(), "Twin probe"));
        ASSERT_TRUE(ListsFilter(dialog, first.clsid));
        ASSERT_TRUE(ListsFilter(dialog, second.clsid));

        SelectFilter(dialog, second.clsid);
        ClickButton(::GetDlgItem(dialog, IDC_REMOVE));
        EXPECT_FALSE(second.Registered());
        EXPECT_TRUE(first.Registered());
        EXPECT_TRUE(ListsFilter(dialog, first.clsid));
        EXPECT_FALSE(ListsFilter(dialog, second.clsid));

        SelectFilter(dialog, first.clsid);
        ClickButton(::GetDlgItem(dialog, IDC_REMOVE));
        EXPECT_FALSE(first.Registered());
        EXPECT_EQ(-1, FindListText(Filters(dialog), "Twin probe"));
    });
}

TEST(ManagerWindow, RemovingAFilterWhoseKeyIsAlreadyGoneRefreshesWithoutIt)
{
    RegisteredFilter vanished(CLSID_ZarvVideoProcessors, L"Vanished probe");
    RunManager([&](HWND dialog) {
        SelectCategory(dialog, kVideo);
        SelectFilter(dialog, vanished.clsid);
        ASSERT_EQ(ERROR_SUCCESS, ::RegDeleteKeyA(HKEY_CLASSES_ROOT, vanished.key.path().c_str()));

        ClickButton(::GetDlgItem(dialog, IDC_REMOVE));
        EXPECT_FALSE(ListsFilter(dialog, vanished.clsid));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_REMOVE));
    });
}

TEST(ManagerWindow, RemoveWithoutAKeyPathDeletesNothingAndKeepsTheList)
{
    RegisteredFilter filter(CLSID_ZarvVideoProcessors, L"Unnamed key probe");
    RunManager([&](HWND dialog) {
        SelectCategory(dialog, kVideo);
        SelectFilter(dialog, filter.clsid);
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
TEST(ManagerWindow, RemoveActsOnTheListedCategoryAfterAListingFailed)
{
    ScopedServices services;
    services.setup.unlistable = CLSID_ZarvAudioProcessors;
    const CLSID filter = NewGuid();
    RegisteredFilter inVideo(CLSID_ZarvVideoProcessors, L"Shared probe", filter);
    RegisteredFilter inAudio(CLSID_ZarvAudioProcessors, L"Shared probe", filter);
    RunManager([&](HWND dialog) {
        SelectCategory(dialog, kVideo);
        SelectFilter(dialog, filter);
        SelectCategory(dialog, kAudio);
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

TEST(ManagerWindow, AnEntryWhoseClsidCannotBeCopiedIsLeftOut)
{
    RegisteredFilter filter(CLSID_ZarvVideoProcessors, L"Copy probe");
    RunManager([&](HWND dialog) {
        {
            AllocationProbe::FailNothrowAllocations noCopies(sizeof(CLSID));
            SelectCategory(dialog, kVideo);
        }
        EXPECT_EQ(0, ::SendMessageA(Filters(dialog), LB_GETCOUNT, 0, 0));
        SelectCategory(dialog, kAudio);
        SelectCategory(dialog, kVideo);
        EXPECT_TRUE(ListsFilter(dialog, filter.clsid));
    });
}

TEST(ManagerWindow, FreesEveryClsidCopyWhenItCloses)
{
    RegisteredFilter first(CLSID_ZarvVideoProcessors, L"Freed probe");
    RegisteredFilter second(CLSID_ZarvVideoProcessors, L"Freed probe");
    std::vector<const void*> copies;
    RunManager([&](HWND dialog) {
        SelectCategory(dialog, kVideo);
        for (HWND list : {Categories(dialog), Filters(dialog)})
            for (int index = 0, count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0)); index < count;
                 ++index)
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

TEST(ManagerWindow, EndsAtOnceWithoutTheMapperWhenTheDeviceEnumeratorIsMissing)
{
    ScopedServices services;
    services.setup.devEnumStatus = REGDB_E_CLASSNOTREG;
    CZarvFMgrDlg dialog;
    EXPECT_EQ(-1, RunModalEndingAtStart(dialog));
    EXPECT_EQ(std::vector<CLSID>{CLSID_SystemDeviceEnum}, services.setup.requested);
    EXPECT_EQ(nullptr, CWinApp::GetApp()->m_pMainWnd);
}

TEST(ManagerWindow, EndsAtOnceAndReleasesTheDeviceEnumeratorWhenTheMapperIsMissing)
{
    ScopedServices services;
    services.setup.mapperStatus = REGDB_E_CLASSNOTREG;
    CZarvFMgrDlg dialog;
    EXPECT_EQ(-1, RunModalEndingAtStart(dialog));
    EXPECT_EQ((std::vector<CLSID>{CLSID_SystemDeviceEnum, CLSID_FilterMapper2}), services.setup.requested);
    EXPECT_TRUE(services.setup.devEnumReleased);
}

TEST(ManagerWindow, SystemMenuEndsWithTheAboutItemAfterASeparator)
{
    RunManager([](HWND dialog) {
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

// What the About box showed while it ran over the manager window.
struct AboutSeen
{
    HWND manager = nullptr;
    HWND box = nullptr;
    HWND owner = nullptr;
    bool managerEnabled = true;
    char productLine[128] = {};
};
AboutSeen* g_about = nullptr;

// The dialog window of this thread that the manager window owns. Found by
// ownership rather than activation: other test programs share the display and
// may hold the active window.
BOOL CALLBACK FindOwnedWindow(HWND window, LPARAM lParam)
{
    AboutSeen* seen = reinterpret_cast<AboutSeen*>(lParam);
    if (window == seen->manager || ::GetWindow(window, GW_OWNER) != seen->manager)
        return TRUE;
    seen->box = window;
    return FALSE;
}

void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindOwnedWindow, reinterpret_cast<LPARAM>(g_about));
    if (!g_about->box)
        return;
    g_about->owner = ::GetWindow(g_about->box, GW_OWNER);
    g_about->managerEnabled = ::IsWindowEnabled(g_about->manager) != FALSE;
    ::GetDlgItemTextA(g_about->box, IDC_ABOUT_TITLE, g_about->productLine, ARRAYSIZE(g_about->productLine));
    ::SendMessageA(g_about->box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

TEST(ManagerWindow, EveryAboutSystemCommandRunsTheAboutBoxOverTheWindow)
{
    RunManager([](HWND dialog) {
        for (WPARAM command : {WPARAM(IDM_ABOUTBOX), WPARAM(IDM_ABOUTBOX | 0x000F)})
        {
            AboutSeen seen;
            seen.manager = dialog;
            g_about = &seen;
            ::SetTimer(nullptr, 0, 0, &CloseAboutBox); // fires inside the About box's modal loop
            ::SendMessageA(dialog, WM_SYSCOMMAND, command, 0);
            g_about = nullptr;

            ASSERT_NE(nullptr, seen.box) << command;
            EXPECT_NE(dialog, seen.box);
            EXPECT_EQ(dialog, seen.owner);
            EXPECT_FALSE(seen.managerEnabled);
            EXPECT_STREQ("TAVELMIR Multimedia Filter Manager 64", seen.productLine);
            EXPECT_FALSE(::IsWindow(seen.box));
            EXPECT_TRUE(::IsWindowEnabled(dialog));
        }
    });
}

TEST(ManagerWindow, DragIconIsTheWindowsIcon)
{
    RunManager([](HWND dialog) {
        const LRESULT dragIcon = ::SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0);
        EXPECT_NE(0, dragIcon);
        EXPECT_EQ(dragIcon, ::SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));
        EXPECT_EQ(dragIcon, ::SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
    });
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
