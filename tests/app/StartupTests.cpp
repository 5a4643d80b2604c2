// The program's own application object, linked into this test program: its
// start-up code has run before the tests' main.
#include <gtest/gtest.h>

#include <windows.h>

// A DLL that lies only beside the program (ZARV_PLANTED_DLL, built there) is
// not loaded by name, although it loads when that folder is named.
TEST(StartUp, LoadsNoDllByNameFromTheProgramsFolder)
{
    const HMODULE byName = ::LoadLibraryA(ZARV_PLANTED_DLL);
    const DWORD error = ::GetLastError();
    EXPECT_EQ(nullptr, byName);
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), error);

    const HMODULE fromFolder =
        ::LoadLibraryExA(ZARV_PLANTED_DLL, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
    EXPECT_NE(nullptr, fromFolder);
    for (const HMODULE loaded : {byName, fromFolder})
        if (loaded)
            ::FreeLibrary(loaded);
}
