#pragma once
// The program ZarvFMgr.exe started as a process of its own, for the tests that
// drive it from another process with real messages (text read with the wide
// messages, which cross process boundaries). Its path comes from the build, as
// ZARV_PROGRAM_PATH.

#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <string>

#include "TestRegistry.h"

inline const wchar_t kTitle[] = L"TAVELMIR Multimedia Filter Manager";
constexpr DWORD kWindowWait = 30000; // ms: a cold program start under Wine
constexpr DWORD kEndWait = 10000;    // ms
constexpr DWORD kPoll = 50;          // ms

// The program's path, as this process names it.
inline const std::wstring kProgramPath = L"" ZARV_PROGRAM_PATH;

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
inline void PressKey(HWND window, WPARAM key)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    const HWND focus = info.hwndFocus ? info.hwndFocus : window;
    ::PostMessageW(focus, WM_KEYDOWN, key, 1);
    ::PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
}
