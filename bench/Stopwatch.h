#pragma once
// Wall-clock time from the performance counter, and processor time beside it.

#include <windows.h>

#include "CpuClock.h"

// One measurement: elapsed seconds, and processor seconds of the process and
// the server.
struct Sample
{
    double wall = 0.0;
    double cpu = 0.0;
};

inline Sample operator+(Sample a, Sample b)
{
    return Sample{a.wall + b.wall, a.cpu + b.cpu};
}
inline Sample operator-(Sample a, Sample b)
{
    return Sample{a.wall - b.wall, a.cpu - b.cpu};
}

class Stopwatch
{
public:
    Stopwatch() noexcept { Restart(); }

    void Restart() noexcept
    {
        m_cpuStart = Cpu().Now();
        ::QueryPerformanceCounter(&m_start);
    }

    double Seconds() const noexcept
    {
        LARGE_INTEGER now{};
        LARGE_INTEGER frequency{};
        ::QueryPerformanceCounter(&now);
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

    Sample Elapsed() const noexcept
    {
        Sample sample;
        sample.wall = Seconds();
        sample.cpu = Cpu().Now() - m_cpuStart;
        return sample;
    }

private:
    LARGE_INTEGER m_start{};
    double m_cpuStart = 0.0;
};
