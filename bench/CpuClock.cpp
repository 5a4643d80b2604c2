#include "CpuClock.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Under Wine the process and the server are Linux processes; their processor
// time is in /proc/<pid>/stat (fields 14 and 15, in clock ticks).
const double kTicksPerSecond = 100.0;

double StatSeconds(const char* path) noexcept
{
    HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0.0;
    char text[1024] = {};
    DWORD read = 0;
    ::ReadFile(file, text, sizeof text - 1, &read, nullptr);
    ::CloseHandle(file);
    const char* afterName = std::strrchr(text, ')');
    if (!afterName)
        return 0.0;
    // Fields after the name: state ppid pgrp session tty tpgid flags minflt
    // cminflt majflt cmajflt utime stime.
    unsigned long long user = 0;
    unsigned long long system = 0;
    if (std::sscanf(afterName + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user,
                    &system) != 2)
        return 0.0;
    return static_cast<double>(user + system) / kTicksPerSecond;
}

} // namespace

CpuClock::CpuClock() noexcept
{
    char pids[128] = "";
    if (!::GetEnvironmentVariableA("ZARV_BENCH_SERVER_PIDS", pids, sizeof pids))
        return;
    char* next = pids;
    for (unsigned long pid; m_serverCount < kMaxServers && (pid = std::strtoul(next, &next, 10));)
        m_serverPids[m_serverCount++] = pid;
}

double CpuClock::Now() const noexcept
{
    double seconds = StatSeconds("Z:\\proc\\self\\stat");
    for (int i = 0; i < m_serverCount; ++i)
    {
        char path[64];
        std::snprintf(path, sizeof path, "Z:\\proc\\%lu\\stat", m_serverPids[i]);
        seconds += StatSeconds(path);
    }
    return seconds;
}

const CpuClock& Cpu() noexcept
{
    static const CpuClock clock;
    return clock;
}
