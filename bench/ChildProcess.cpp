#include "ChildProcess.h"

#include <vector>

#include "UniqueHandle.h"

namespace {

// Kernel object handles, owned as the catalogue owns its handles.
struct KernelHandleTraits
{
    using pointer = HANDLE;
    static void Close(HANDLE h) noexcept
    {
        if (h != INVALID_HANDLE_VALUE)
            ::CloseHandle(h);
    }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

} // namespace

ChildRun RunChild(const std::wstring& commandLine)
{
    ChildRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const UniqueKernelHandle nul(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                               nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.get();
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    PROCESS_INFORMATION process = {};
    Stopwatch watch;
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process))
        return run;
    const UniqueKernelHandle processHandle(process.hProcess);
    const UniqueKernelHandle threadHandle(process.hThread);
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
