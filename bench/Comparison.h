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

// The median of one measure (Sample::wall or Sample::cpu) of the samples.
inline double MedianOf(const std::vector<Sample>& samples, double Sample::*measure)
{
    std::vector<double> values;
    for (const Sample& sample : samples)
        values.push_back(sample.*measure);
    return Median(values);
}

inline double MedianWall(const std::vector<Sample>& runs)
{
    return MedianOf(runs, &Sample::wall);
}
inline double MedianCpu(const std::vector<Sample>& runs)
{
    return MedianOf(runs, &Sample::cpu);
}

inline double RatioOf(double product, double floor)
{
    return floor > 0.0 ? product / floor : 0.0;
}

struct Comparison
{
    std::vector<Sample> product;
    std::vector<Sample> floor;

    double ProductMedian() const { return MedianWall(product); }
    double FloorMedian() const { return MedianWall(floor); }
    double ProductCpu() const { return MedianCpu(product); }
    double FloorCpu() const { return MedianCpu(floor); }
    double Ratio() const { return RatioOf(ProductMedian(), FloorMedian()); }
    double CpuRatio() const { return RatioOf(ProductCpu(), FloorCpu()); }
};

// Times `runs` rounds of each; the order within a round alternates so that
// neither side always runs on a warm cache. Each callable returns the Sample
// it measured itself (so that set-up and tear-down stay outside the figure).
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

// A callable timed as a whole.
template <typename F>
Sample TimeOf(F&& f)
{
    Stopwatch watch;
    f();
    return watch.Elapsed();
}
