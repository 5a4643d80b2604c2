#pragma once
// One measured operation against its floor, run in alternation so that both
// see the same machine load; the figures are the medians of the runs.

#include <algorithm>
#include <vector>

#include "Stopwatch.h"

inline double Median(std::vector<double> samples)
{
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2.0;
}

struct Comparison
{
    std::vector<double> product; // seconds per run
    std::vector<double> floor;

    double ProductMedian() const { return Median(product); }
    double FloorMedian() const { return Median(floor); }
    double Ratio() const
    {
        const double f = FloorMedian();
        return f > 0.0 ? ProductMedian() / f : 0.0;
    }
};

// Times `runs` rounds of each; the order within a round alternates so that
// neither side always runs on a warm cache. Each callable returns the seconds
// it measured itself (so that set-up and tear-down stay outside the figure).
template <typename Product, typename Floor>
Comparison Compare(int runs, Product&& product, Floor&& floor)
{
    Comparison result;
    for (int run = 0; run < runs; ++run)
    {
        if (run % 2 == 0)
        {
            result.floor.push_back(floor());
            result.product.push_back(product());
        }
        else
        {
            result.product.push_back(product());
            result.floor.push_back(floor());
        }
    }
    return result;
}

// A callable timed as a whole.
template <typename F>
double TimeOf(F&& f)
{
    Stopwatch watch;
    f();
    return watch.Seconds();
}
