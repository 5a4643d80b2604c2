#pragma once
// What the parts of the scale benchmark share: a reading of wall-clock and
// processor time, the medians of an operation of the program and of its floor
// (the bare platform calls that do the same work) measured in alternation, one
// printed line per figure; and each part's entry point.

#include <windows.h>
#include <strmif.h>

#include <string>
#include <vector>

// A reading, or the time between two: seconds of wall-clock time, and of
// processor time of this process and, when the run script names them
// (ZARV_BENCH_SERVER_PIDS, process ids separated by spaces), of the Wine server
// and the X server, which do the platform's share of every registry and window
// call. Unlike wall-clock time, processor time barely moves when other work
// loads the machine.
struct Sample
{
    double wall = 0.0;
    double cpu = 0.0;
};

Sample operator+(Sample a, Sample b);
Sample operator-(Sample a, Sample b);

Sample Now();

// Whether processor time includes the servers'.
bool CpuCountsServers();

template <typename F>
Sample TimeOf(F&& operation)
{
    const Sample start = Now();
    operation();
    return Now() - start;
}

double Median(std::vector<double> values);

// The median wall-clock time and the median processor time of the runs.
Sample MedianOf(const std::vector<Sample>& runs);

struct Comparison
{
    std::vector<Sample> product;
    std::vector<Sample> floor;
};

// Times `runs` rounds of each, the order within a round alternating so that
// neither side always runs on a warm cache. Each callable returns the Sample it
// measured itself, so that set-up and tear-down stay outside the figure.
template <typename Product, typename Floor>
Comparison Compare(int runs, Product&& product, Floor&& floor)
{
    Comparison result;
    for (int run = 0; run < runs; ++run)
    {
        const bool floorFirst = run % 2 == 0;
        if (floorFirst)
            result.floor.push_back(floor());
        result.product.push_back(product());
        if (!floorFirst)
            result.floor.push_back(floor());
    }
    return result;
}

// A figure: what it measures, which begins each of its lines, and the most the
// program may take as a multiple of its floor (for a growth exponent, the most
// the exponent may be).
struct Figure
{
    const char* name;
    double target;
};

// "met" or "MISSED": the value as the report prints it, to two decimals,
// against the target.
const char* Verdict(double value, double target);

std::string Format(const char* format, ...);
void ReportLine(const std::string& line);

// "<name><what>: program 1.234 s, floor 1.200 s, ratio 1.03; processor time
// 0.50 s / 0.49 s, ratio 1.02 (target <= 1.10, met)[; <detail>]", judged on
// processor time when it includes the servers'.
void ReportFigure(const Figure& figure, const std::string& what, const Comparison& comparison,
                  const std::string& detail = std::string());

// The growth exponent of time over size on a log scale, between two points.
double GrowthExponent(double smallSize, double smallSeconds, double largeSize, double largeSeconds);

// The binary value that real filter registrations carry beside their name.
constexpr wchar_t kFilterDataValue[] = L"FilterData";

// The category walk and the Add Filter dialog's fill at each size of a growing
// synthetic catalogue (only its smallest when quick), and their growth
// exponents. False when the catalogue could not be written.
bool RunCatalogueFigures(ICreateDevEnum* devEnum, HWND managerWindow, int runs, int largestRuns, bool quick);

// The manager window's filter list refilled for a large vendor category.
void RunFilterListRefill(ICreateDevEnum* devEnum, HWND managerWindow, int runs);

// The registration copy and its peak memory. False when the registration could
// not be written.
bool RunRegistrationCopy(int runs);

// The program's switch for one registration copy in a fresh process of its
// own, for its peak memory: --copy-peak <mode> {source} {filter} {target}.
constexpr char kCopyPeakSwitch[] = "--copy-peak";
int RunCopyPeak(char** arguments, int count);
