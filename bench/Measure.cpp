#include "Benchmark.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Under Wine the servers are Linux processes; their processor time is in
// /proc/<pid>/stat (fields 14 and 15, in clock ticks). Wine opens files in its
// server, so "/proc/self" there names the server, not this process: this
// process's own time comes from GetProcessTimes.
const double kTicksPerSecond = 100.0;
const double kFileTimeUnitsPerSecond = 1e7;

double ProcessorSeconds(const std::string& statPath)
{
    char text[1024] = "";
    std::FILE* file = std::fopen(statPath.c_str(), "r");
    if (!file)
        return 0.0;
    const bool read = std::fgets(text, sizeof text, file) != nullptr;
    std::fclose(file);
    // Fields after the name: state ppid pgrp session tty tpgid flags minflt
    // cminflt majflt cmajflt utime stime.
    const char* afterName = read ? std::strrchr(text, ')') : nullptr;
    unsigned long long user = 0;
    unsigned long long system = 0;
    if (!afterName || std::sscanf(afterName + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu",
                                  &user, &system) != 2)
        return 0.0;
    return static_cast<double>(user + system) / kTicksPerSecond;
}

// The /proc entries of the servers the run script names.
std::vector<std::string> StatPaths()
{
    std::vector<std::string> paths;
    char* next = nullptr;
    for (const char* pids = std::getenv("ZARV_BENCH_SERVER_PIDS"); pids; pids = next)
    {
        const unsigned long pid = std::strtoul(pids, &next, 10);
        if (pid == 0)
            break;
        paths.push_back("Z:\\proc\\" + std::to_string(pid) + "\\stat");
    }
    return paths;
}

double Seconds(const FILETIME& time)
{
    const ULONGLONG units = static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
    return static_cast<double>(units) / kFileTimeUnitsPerSecond;
}

const std::vector<std::string>& ServerClocks()
{
    static const std::vector<std::string> paths = StatPaths();
    return paths;
}

double Ratio(double product, double floor)
{
    return floor > 0.0 ? product / floor : 0.0;
}

} // namespace

Sample operator+(Sample a, Sample b)
{
    return Sample{a.wall + b.wall, a.cpu + b.cpu};
}

Sample operator-(Sample a, Sample b)
{
    return Sample{a.wall - b.wall, a.cpu - b.cpu};
}

Sample Now()
{
    Sample now;
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user))
        now.cpu = Seconds(kernel) + Seconds(user);
    for (const std::string& path : ServerClocks())
        now.cpu += ProcessorSeconds(path);
    LARGE_INTEGER count{};
    LARGE_INTEGER frequency{};
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    now.wall = static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
    return now;
}

bool CpuCountsServers()
{
    return !ServerClocks().empty();
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

Sample MedianOf(const std::vector<Sample>& runs)
{
    std::vector<double> walls;
    std::vector<double> cpus;
    for (const Sample& run : runs)
    {
        walls.push_back(run.wall);
        cpus.push_back(run.cpu);
    }
    return Sample{Median(walls), Median(cpus)};
}

const char* Verdict(double value, double target)
{
    return std::lround(value * 100.0) <= std::lround(target * 100.0) ? "met" : "MISSED";
}

std::string Format(const char* format, ...)
{
    char text[1024] = "";
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

void ReportLine(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void ReportFigure(const Figure& figure, const std::string& what, const Comparison& comparison,
                  const std::string& detail)
{
    const Sample product = MedianOf(comparison.product);
    const Sample floor = MedianOf(comparison.floor);
    const double ratio = Ratio(product.wall, floor.wall);
    const double cpuRatio = Ratio(product.cpu, floor.cpu);
    // Processor time is the steadier measure on a shared machine; it includes
    // the servers' share only when the run script names them.
    const char* verdict = Verdict(CpuCountsServers() ? cpuRatio : ratio, figure.target);
    ReportLine(Format("%s%s: program %.3f s, floor %.3f s, ratio %.2f; processor time %.2f s / %.2f s, "
                      "ratio %.2f (target <= %.2f, %s)%s%s",
                      figure.name, what.c_str(), product.wall, floor.wall, ratio, product.cpu, floor.cpu,
                      cpuRatio, figure.target, verdict, detail.empty() ? "" : "; ", detail.c_str()));
}

double GrowthExponent(double smallSize, double smallSeconds, double largeSize, double largeSeconds)
{
    if (smallSize <= 0 || largeSize <= smallSize || smallSeconds <= 0 || largeSeconds <= 0)
        return 0.0;
    return std::log(largeSeconds / smallSeconds) / std::log(largeSize / smallSize);
}
