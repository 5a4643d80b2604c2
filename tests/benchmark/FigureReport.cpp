#include "FigureReport.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

void ReportLine(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::printf("\n");
    std::fflush(stdout);
}

void ReportComparison(const std::string& label, const Comparison& comparison, double target,
                      const std::string& detail)
{
    const double ratio = comparison.Ratio();
    ReportLine("%s: program %.3f s, floor %.3f s, ratio %.2f (target <= %.2f, %s)%s%s",
               label.c_str(), comparison.ProductMedian(), comparison.FloorMedian(), ratio, target,
               ratio <= target ? "met" : "MISSED", detail.empty() ? "" : "; ",
               detail.c_str());
}

double GrowthExponent(double smallSize, double smallSeconds, double largeSize, double largeSeconds)
{
    if (smallSize <= 0 || largeSize <= smallSize || smallSeconds <= 0 || largeSeconds <= 0)
        return 0.0;
    return std::log(largeSeconds / smallSeconds) / std::log(largeSize / smallSize);
}
