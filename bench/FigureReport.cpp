#include "FigureReport.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "CpuClock.h"

void ReportLine(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::printf("\n");
    std::fflush(stdout);
}

void ReportFigure(const Figure& figure, const std::string& what, const Comparison& comparison,
                  const std::string& detail)
{
    // Processor time is the steadier measure on a shared machine; it includes
    // the server's share only when the run script names the server.
    const bool met = (Cpu().CountsServer() ? comparison.CpuRatio() : comparison.Ratio()) <= figure.target;
    ReportLine("%s%s: program %.3f s, floor %.3f s, ratio %.2f; processor time %.2f s / %.2f s, "
               "ratio %.2f (target <= %.2f, %s)%s%s",
               figure.name, what.c_str(), comparison.ProductMedian(), comparison.FloorMedian(),
               comparison.Ratio(), comparison.ProductCpu(), comparison.FloorCpu(), comparison.CpuRatio(),
               figure.target, met ? "met" : "MISSED", detail.empty() ? "" : "; ", detail.c_str());
}

double GrowthExponent(double smallSize, double smallSeconds, double largeSize, double largeSeconds)
{
    if (smallSize <= 0 || largeSize <= smallSize || smallSeconds <= 0 || largeSeconds <= 0)
        return 0.0;
    return std::log(largeSeconds / smallSeconds) / std::log(largeSize / smallSize);
}
