#pragma once
// What the machine that runs the tests allows: the tests that need Wine's own
// registrations, or that write the classes root, skip with a reason where it
// does not (on Windows, or as a standard user there). Under Wine none skips.
// Also the fixtures and the tables of inputs that the test programs share.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "TestRegistry.h"

inline bool RunningUnderWine()
{
    return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Whether the platform draws a program that is not DPI aware at 96 DPI and
// stretches it, as Windows does: Wine does from version 10 on, while Wine 8
// lets every program draw at the display's DPI, aware or not.
inline bool PlatformScalesUnawareWindows()
{
    using Version = const char*(CDECL*)();
    const auto version = reinterpret_cast<Version>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    return !version || std::atoi(version()) >= 10;
}

// A fresh path in the temporary folder, for a file or folder of the test's own,
// with this ending.
inline std::wstring NewTempPath(const wchar_t* ending = L"")
{
    wchar_t folder[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, folder);
    return folder + GuidTextW(NewGuid()) + ending;
}

// The fixture of the tests that write the classes root (directly, or through
// the program, which registers its categories as it opens). They skip unless
// this process may create keys under HKEY_CLASSES_ROOT\CLSID, as the filter
// mapper and the tests do: tried once with a volatile key under a fresh GUID,
// deleted at once.
class ClassesRootTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static const bool mayWrite = [] {
            const std::string path = ClassPath(NewGuid());
            if (CreateVolatileClassesKey(path) != ERROR_SUCCESS)
                return false;
            ::RegDeleteKeyA(HKEY_CLASSES_ROOT, path.c_str());
            return true;
        }();
        if (!mayWrite)
            GTEST_SKIP()
                << "this process may not write HKEY_CLASSES_ROOT\\CLSID (run it as an administrator)";
    }
};

// A fixture whose cases must close every key they open: the process holds as
// many keys after the case as before it.
class ClosesEveryKey : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The process keeps the handle of the classes root that it opens first.
        KeyExists("CLSID");
        m_openBefore = OpenKeyCount();
    }
    void TearDown() override
    {
        EXPECT_EQ(m_openBefore, OpenKeyCount()) << "registry keys left open by the case";
    }

private:
    int m_openBefore = 0;
};

// The traits of an owner (UniqueHandle) of a test's own handles, closed by this
// function: UniqueHandle<ClosedBy<HWND, &::DestroyWindow>>.
template <typename Handle, BOOL(WINAPI* close)(Handle)>
struct ClosedBy
{
    using pointer = Handle;
    static void Close(Handle handle) noexcept { close(handle); }
};

// Names, in order: of a CLSID's entries in a walk or a list, or of a list's entries.
using Names = std::vector<std::string>;

// A row of a table of inputs, named in the test list and in failures by its name.
struct TableRow
{
    const char* name;

    friend std::ostream& operator<<(std::ostream& out, const TableRow& row) { return out << row.name; }
};

// Names the rows of a parameterised test by their names.
struct RowName
{
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& info) const
    {
        return info.param.name;
    }
};
