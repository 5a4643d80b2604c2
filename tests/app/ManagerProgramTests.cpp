// The program ZarvFMgr.exe started as a process of its own and driven from
// this one with real messages (text read with the wide messages, which cross
// process boundaries).
#include <gtest/gtest.h>

#include <dshow.h>

#include <string>
#include <vector>

#include "CategoryMembers.h"
#include "PlantedDll.h"
#include "TestHost.h"
#include "TestRegistry.h"
#include "VendorCategories.h"
#include "WinApp.h"
#include "WindowDriver.h"
#include "resource.h"

namespace {

const wchar_t kTitle[] = L"TAVELMIR Multimedia Filter Manager";
constexpr DWORD kWindowWait = 30000; // ms: a cold program start under Wine
constexpr DWORD kEndWait = 10000;    // ms
constexpr DWORD kPoll = 50;          // ms

// The program's path, as this process names it, and the key of Wine's
// settings for the program alone, named by its file name.
const std::wstring kProgramPath = L"" ZARV_PROGRAM_PATH;
const std::wstring kProgramSettings =
    L"Software\\Wine\\AppDefaults\\" + kProgramPath.substr(kProgramPath.find_last_of(L"/\\") + 1);

// Wine's load order of one DLL for the program alone: while it lives, the
// program starts with this DLL disabled (an empty order), or found as the
// order says ("native,builtin": a DLL of that name found in the search path
// before Wine's own). (Overrides in the environment do not reach a process
// that another Wine process starts: Wine hands its own on.)
class DllLoadOrderForProgram
{
public:
    explicit DllLoadOrderForProgram(const wchar_t* dll, const std::wstring& order = L"")
    {
        EXPECT_EQ(ERROR_SUCCESS,
                  ::RegSetKeyValueW(HKEY_CURRENT_USER, (kProgramSettings + L"\\DllOverrides").c_str(), dll,
                                    REG_SZ, order.c_str(), DWORD((order.size() + 1) * sizeof(wchar_t))));
    }
    ~DllLoadOrderForProgram() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kProgramSettings.c_str()); }
    DllLoadOrderForProgram(const DllLoadOrderForProgram&) = delete;
    DllLoadOrderForProgram& operator=(const DllLoadOrderForProgram&) = delete;
};

// The display's DPI for the programs that start while the object lives: the
// session's LogPixels, which a program reads as it starts, put back as it was
// afterwards. The program's tests hold the display lock: no other test's
// window starts meanwhile.
class DisplayDpiForNewPrograms
{
public:
    explicit DisplayDpiForNewPrograms(DWORD dpi)
        : m_hadValue(::RegGetValueW(HKEY_CURRENT_USER, kDesktopSettings, kLogPixels, RRF_RT_REG_DWORD,
                                    nullptr, &m_before, &m_size) == ERROR_SUCCESS)
    {
        EXPECT_EQ(ERROR_SUCCESS, ::RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopSettings, kLogPixels, REG_DWORD,
                                                   &dpi, sizeof dpi));
    }
    ~DisplayDpiForNewPrograms()
    {
        if (m_hadValue)
            ::RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopSettings, kLogPixels, REG_DWORD, &m_before,
                              sizeof m_before);
        else
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopSettings, kLogPixels);
    }
    DisplayDpiForNewPrograms(const DisplayDpiForNewPrograms&) = delete;
    DisplayDpiForNewPrograms& operator=(const DisplayDpiForNewPrograms&) = delete;

private:
    static constexpr wchar_t kDesktopSettings[] = L"Control Panel\\Desktop";
    static constexpr wchar_t kLogPixels[] = L"LogPixels";
    DWORD m_before = 0;
    DWORD m_size = sizeof m_before;
    bool m_hadValue;
};

class Program
{
public:
    explicit Program(const std::wstring& arguments = L"", const std::wstring& path = kProgramPath)
    {
        std::wstring commandLine = L"\"" + path + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        m_started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &startup, &m_process) != FALSE;
        EXPECT_TRUE(m_started) << "cannot start " << AsciiText(commandLine);
    }
    ~Program()
    {
        if (!m_started)
            return;
        if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
        {
            ::TerminateProcess(m_process.hProcess, 1);
            ::WaitForSingleObject(m_process.hProcess, kEndWait); // its files are free once it has gone
        }
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_started; }
    DWORD Id() const { return m_process.dwProcessId; }

    // The program's manager window (for `manager` false, any other window of
    // the program), once it is visible; null once the program has ended, on
    // time-out, or when the program never started.
    HWND WaitForWindow(bool manager = true, DWORD timeout = kWindowWait) const
    {
        for (DWORD waited = 0; m_started && waited < timeout; waited += kPoll)
        {
            if (HWND window = VisibleWindow(manager))
                return window;
            if (Ended(kPoll))
                break;
        }
        return nullptr;
    }

    // Waits for the process to end; fails the test when it shows any window
    // but the manager window meanwhile.
    bool EndsWithoutOtherWindows() const
    {
        if (HWND other = WaitForWindow(false, kEndWait))
        {
            wchar_t title[256] = {};
            ::GetWindowTextW(other, title, ARRAYSIZE(title));
            ADD_FAILURE() << "the program shows a window: " << AsciiText(title);
            return false;
        }
        return Ended(0);
    }

    bool Ended(DWORD timeout) const
    {
        return ::WaitForSingleObject(m_process.hProcess, timeout) == WAIT_OBJECT_0;
    }

private:
    // A visible top-level window of the process: the manager window, or any other.
    HWND VisibleWindow(bool manager) const
    {
        for (HWND window = ::GetTopWindow(nullptr); window; window = ::GetWindow(window, GW_HWNDNEXT))
        {
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            wchar_t title[256] = {};
            ::GetWindowTextW(window, title, ARRAYSIZE(title));
            if (process == m_process.dwProcessId && ::IsWindowVisible(window) &&
                (wcscmp(title, kTitle) == 0) == manager)
                return window;
        }
        return nullptr;
    }

    bool m_started = false;
    PROCESS_INFORMATION m_process = {};
};

// A key pressed and released on the window's focus.
void PressKey(HWND window, WPARAM key)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    const HWND focus = info.hwndFocus ? info.hwndFocus : window;
    ::PostMessageW(focus, WM_KEYDOWN, key, 1);
    ::PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
}

// A folder of the test's own in the temporary folder, with copies of files put
// there; all removed at the end.
struct ScopedFolder
{
    ScopedFolder() { EXPECT_TRUE(::CreateDirectoryW(path.c_str(), nullptr)); }
    ~ScopedFolder()
    {
        for (const std::wstring& file : files)
            ::DeleteFileW(file.c_str());
        ::RemoveDirectoryW(path.c_str());
    }
    std::wstring Put(const std::wstring& source, const wchar_t* name)
    {
        files.push_back(path + L"\\" + name);
        EXPECT_TRUE(::CopyFileW(source.c_str(), files.back().c_str(), TRUE)) << "cannot copy to " << name;
        return files.back();
    }

    const std::wstring path = NewTempPath();
    std::vector<std::wstring> files;
};

// The planted DLL, built beside this test program.
std::wstring PlantedDllPath()
{
    wchar_t path[MAX_PATH] = L"";
    const std::wstring self(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
    return self.substr(0, self.find_last_of(L"\\/") + 1) + L"" ZARV_PLANTED_DLL;
}

bool ListsCategory(REFCLSID category)
{
    return !ListedNames(ListCategoryMembers(CLSID_ActiveMovieCategories), category).empty();
}

} // namespace

using ManagerProgram = ClassesRootTest;

TEST_F(ManagerProgram, StartsWithTheCategoriesRegisteredAndListedAndIgnoresItsArguments)
{
    // The program registers the categories at every start.
    for (const CLSID& category : {CLSID_ZarvVideoProcessors, CLSID_ZarvAudioProcessors})
    {
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, InstancePath(CLSID_ActiveMovieCategories, category).c_str());
        ASSERT_FALSE(ListsCategory(category));
    }

    Program program(L"/help --unknown C:\\nowhere\\file.txt");
    const HWND window = program.WaitForWindow();
    ASSERT_NE(nullptr, window) << "no manager window";
    EXPECT_EQ((std::vector<std::string>{kAudio, kVideo}), ListTexts(Categories(window)));
    EXPECT_EQ(LB_ERR, ListBox_GetCurSel(Categories(window)));
    EXPECT_EQ(0, ListBox_GetCount(Filters(window)));
    EXPECT_FALSE(IsItemEnabled(window, IDC_ADD));
    EXPECT_FALSE(IsItemEnabled(window, IDC_REMOVE));
    EXPECT_TRUE(ListsCategory(CLSID_ZarvVideoProcessors));
    EXPECT_TRUE(ListsCategory(CLSID_ZarvAudioProcessors));

    // There is no help content: the help command leaves the window as it was.
    ::SendMessageW(window, WM_COMMAND, ID_HELP, 0);
    EXPECT_FALSE(program.Ended(0));
    EXPECT_TRUE(::IsWindowVisible(window));

    PressKey(window, VK_ESCAPE);
    EXPECT_TRUE(program.EndsWithoutOtherWindows());
}

// A DLL saved beside the program under the name of one that Windows loads by
// name as it starts (bcrypt.dll, for the crypto provider from which the stack
// protector's start-up takes its guard word) does not run in it, even with the
// load order preferring it.
TEST_F(ManagerProgram, RunsNoDllSavedBesideIt)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "prefers the saved DLL through Wine's load order";
    ScopedFolder downloads;
    const std::wstring copy = downloads.Put(kProgramPath, L"ZarvFMgr.exe");
    downloads.Put(PlantedDllPath(), L"bcrypt.dll");
    const DllLoadOrderForProgram savedFirst(L"bcrypt", L"native,builtin");

    Program program(L"", copy);
    const HWND window = program.WaitForWindow();
    ASSERT_NE(nullptr, window) << "no manager window";
    const std::string sign = kPlantedDllSign + std::to_string(program.Id());
    const HANDLE ran = ::OpenEventA(SYNCHRONIZE, FALSE, sign.c_str());
    EXPECT_EQ(nullptr, ran) << "the DLL saved beside the program ran in it";
    if (ran)
        ::CloseHandle(ran);
    PressKey(window, VK_ESCAPE);
    EXPECT_TRUE(program.EndsWithoutOtherWindows());
}

class ManagerProgramEnding : public ClassesRootTest, public ::testing::WithParamInterface<WindowAction>
{
};

TEST_P(ManagerProgramEnding, EndsIt)
{
    Program program;
    const HWND window = program.WaitForWindow();
    ASSERT_NE(nullptr, window) << "no manager window";
    GetParam().act(window);
    EXPECT_TRUE(program.EndsWithoutOtherWindows());
}

INSTANTIATE_TEST_SUITE_P(
    EachWay, ManagerProgramEnding,
    ::testing::Values(WindowAction{{"Enter"}, [](HWND window) { PressKey(window, VK_RETURN); }},
                      WindowAction{
                          {"ExitButton"},
                          [](HWND window) { ::PostMessageW(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0); }},
                      WindowAction{{"CloseCommand"},
                                   [](HWND window) { ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }}),
    RowName());

// Wine's load order disables the DLL of one media service for the program.
struct DisabledService : TableRow
{
    const wchar_t* dll;
};

using ManagerProgramWithoutService = ::testing::TestWithParam<DisabledService>;

TEST_P(ManagerProgramWithoutService, EndsByItselfWithoutAMessage)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "disables a DLL through Wine's load order";
    DllLoadOrderForProgram noService(GetParam().dll);
    Program program;
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(program.EndsWithoutOtherWindows());
}

INSTANTIATE_TEST_SUITE_P(EachService, ManagerProgramWithoutService,
                         ::testing::Values(DisabledService{{"DeviceEnumerator"}, L"devenum"},
                                           DisabledService{{"FilterMapper"}, L"quartz"}),
                         RowName());

// At a display scale of 150 % the program is drawn at the display's DPI, not
// stretched from 96 DPI. Only a platform that stretches programs that are not
// DPI aware tells the two apart.
TEST_F(ManagerProgram, IsPerMonitorAwareAtTheDisplaysDpi)
{
    if (!PlatformScalesUnawareWindows())
        GTEST_SKIP() << "this Wine draws every program at the display's DPI, aware of it or not";
    const DisplayDpiForNewPrograms scaled(144);
    Program program;
    const HWND window = program.WaitForWindow();
    ASSERT_NE(nullptr, window) << "no manager window";
    EXPECT_EQ(DPI_AWARENESS_PER_MONITOR_AWARE,
              ::GetAwarenessFromDpiAwarenessContext(::GetWindowDpiAwarenessContext(window)));
    EXPECT_EQ(144u, ::GetDpiForWindow(window));
    PressKey(window, VK_ESCAPE);
    EXPECT_TRUE(program.EndsWithoutOtherWindows());
}

// A display scale, the size of the About box's logo at it, and whether the
// box's font, and with it the box, grows to that scale: Wine's bitmap font for
// "MS Sans Serif" has no size for 200 %, where the box keeps its size for 150 %.
struct DisplayScale : TableRow
{
    DWORD dpi;
    SIZE logo;
    bool boxScales = true;
};

class ManagerProgramAtScale : public ClassesRootTest, public ::testing::WithParamInterface<DisplayScale>
{
};

TEST_P(ManagerProgramAtScale, ShowsTheAboutLogoAtTheScaleInsideTheBox)
{
    const DisplayDpiForNewPrograms scaled(GetParam().dpi);
    Program program;
    const HWND window = program.WaitForWindow();
    ASSERT_NE(nullptr, window) << "no manager window";
    ::PostMessageW(window, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    const HWND box = program.WaitForWindow(false);
    ASSERT_NE(nullptr, box) << "no About box";
    RECT logo = {};
    RECT inside = {};
    const HWND control = ::GetDlgItem(box, IDC_ABOUT_LOGO);
    ::GetClientRect(control, &logo);
    EXPECT_EQ(GetParam().logo.cx, logo.right);
    EXPECT_EQ(GetParam().logo.cy, logo.bottom);
    ::MapWindowPoints(control, box, reinterpret_cast<POINT*>(&logo), 2);
    ::GetClientRect(box, &inside);
    if (GetParam().boxScales || !RunningUnderWine())
    {
        EXPECT_TRUE(logo.left >= 0 && logo.top >= 0 && logo.right <= inside.right &&
                    logo.bottom <= inside.bottom)
            << "the logo at " << logo.left << ", " << logo.top << " to " << logo.right << ", " << logo.bottom
            << " in a box of " << inside.right << " x " << inside.bottom;
    }
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    PressKey(window, VK_ESCAPE);
}

INSTANTIATE_TEST_SUITE_P(, ManagerProgramAtScale,
                         ::testing::Values(DisplayScale{{"At100Percent"}, 96, {250, 58}},
                                           DisplayScale{{"At150Percent"}, 144, {375, 87}},
                                           DisplayScale{{"At200Percent"}, 192, {500, 116}, false}),
                         RowName());
