#pragma once
// Runs a program as a process of its own and waits for it, timed from the
// call to CreateProcess until the process has ended. Its standard handles go
// to the null device, so that every program is started the same way.

#include <windows.h>

#include <string>

#include "Stopwatch.h"

struct ChildRun
{
    bool started = false;
    DWORD exitCode = 0;
    Sample time;
};

ChildRun RunChild(const std::wstring& commandLine);

// The full path of this program, for running it in one of its helper modes.
std::wstring ThisProgram();
