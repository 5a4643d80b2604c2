#pragma once
// Processor time spent on the benchmark's behalf: this process's own, and,
// when the run script names them (ZARV_BENCH_SERVER_PIDS, process ids
// separated by spaces), that of the servers that do the platform's share of
// the work: the Wine prefix's server (registry, windows, messages) and the X
// server. Unlike wall-clock time it barely moves when other work loads the
// machine.

class CpuClock
{
public:
    CpuClock() noexcept;

    // Seconds of this process and of the servers since they started.
    double Now() const noexcept;

    bool CountsServer() const noexcept { return m_serverCount != 0; }

private:
    static const int kMaxServers = 4;
    unsigned long m_serverPids[kMaxServers] = {};
    int m_serverCount = 0;
};

const CpuClock& Cpu() noexcept;
