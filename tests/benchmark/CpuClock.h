#pragma once
// Processor time spent on the benchmark's behalf: this process's own, and,
// when the run script names it (ZARV_BENCH_SERVER_PID), that of the Wine
// prefix's registry and window server, which does the platform's share of
// every registry call. Unlike wall-clock time it barely moves when other
// work loads the machine.

class CpuClock
{
public:
    CpuClock() noexcept;

    // Seconds of this process and of the server since `Now` was 0.
    double Now() const noexcept;

    bool CountsServer() const noexcept { return m_serverPid != 0; }

private:
    unsigned long m_serverPid = 0;
};

const CpuClock& Cpu() noexcept;
