#pragma once
// The process's peak working set, and what an operation added to it.

#include <windows.h>

struct PeakMemory
{
    // Starts a fresh peak where the platform allows it (on Linux under Wine, by
    // resetting the process's high-water mark); false when it cannot.
    static bool ResetPeak() noexcept;
    static SIZE_T WorkingSet() noexcept;
    static SIZE_T PeakWorkingSet() noexcept;
};

// Bytes by which the peak working set during `operation` exceeded the working
// set before it.
template <typename F>
SIZE_T PeakAddedBy(F&& operation)
{
    PeakMemory::ResetPeak();
    const SIZE_T before = PeakMemory::WorkingSet();
    operation();
    const SIZE_T peak = PeakMemory::PeakWorkingSet();
    return peak > before ? peak - before : 0;
}
