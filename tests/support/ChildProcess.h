#pragma once
// Runs a program as a process of its own, as a user would from a command
// prompt, and waits for it to end: the tests run the platform's reg.exe this
// way, and the scale benchmark a fresh copy of itself.

#include <windows.h>

#include <string>

// Starts the command line (without a console window) and waits for the process
// to end. False, with `exitCode` untouched, when it cannot be started.
inline bool RunToExit(std::wstring commandLine, DWORD& exitCode)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &startup, &process))
        return false;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}
