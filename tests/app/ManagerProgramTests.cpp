// The program ZarvFMgr.exe started as a process of its own and driven from
// this one with real messages (text read with the wide messages, which cross
// process boundaries).
#include <gtest/gtest.h>

#include <dshow.h>

#include <string>
#include <vector>

#include "CategoryMembers.h"
#include "PlantedDll.h"
#include "ProgramProcess.h"
#include "TestHost.h"
#include "TestRegistry.h"
#include "VendorCategories.h"
#include "WinApp.h"
#include "WindowDriver.h"
#include "resource.h"

namespace {

// The key of Wine's settings for the program alone, named by its file name.
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
