#include "ChildProcess.h"

#include <vector>

#include "Stopwatch.h"

namespace {

struct HandleOwner
{
    HANDLE handle;
    ~HandleOwner()
    {
        if (handle && handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
    }
};

} // namespace

ChildRun RunChild(const std::wstring& commandLine)
{
    ChildRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HandleOwner nul{::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                  nullptr)};
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.handle;
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    PROCESS_INFORMATION process = {};
    Stopwatch watch;
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process))
        return run;
    HandleOwner processHandle{process.hProcess};
    HandleOwner threadHandle{process.hThread};
    ::WaitForSingleObject(process.hProcess, INFINITE);
    run.time = watch.Elapsed();
    run.started = true;
    ::GetExitCodeProcess(process.hProcess, &run.exitCode);
    return run;
}

std::wstring ThisProgram()
{
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}
