#include "PeakMemory.h"

#include <psapi.h>

namespace {

PROCESS_MEMORY_COUNTERS Counters() noexcept
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

} // namespace

bool PeakMemory::ResetPeak() noexcept
{
    // Under Wine the process is a Linux process, and its high-water mark of
    // resident memory is what the platform reports as the peak working set.
    HANDLE file =
        ::CreateFileW(L"Z:\\proc\\self\\clear_refs", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, "5", 1, &written, nullptr);
    ::CloseHandle(file);
    return ok && written == 1;
}

SIZE_T PeakMemory::WorkingSet() noexcept
{
    return Counters().WorkingSetSize;
}

SIZE_T PeakMemory::PeakWorkingSet() noexcept
{
    return Counters().PeakWorkingSetSize;
}
