#pragma once
// The benchmark's output: one line per figure, medians and ratios.

#include <string>

#include "Comparison.h"

// A figure: what it measures, which begins each of its printed lines, and the most
// the program may take as a ratio to the floor (for a growth exponent: the most
// the exponent may be).
struct Figure
{
    const char* name;
    double target;
};

// "<name><what>: program 1.234 s, floor 1.200 s, ratio 1.03; processor time ...
// (target <= 1.10, met)", judged on processor time when it includes the servers'.
void ReportFigure(const Figure& figure, const std::string& what, const Comparison& comparison,
                  const std::string& detail = std::string());

// A free-form line of the report.
void ReportLine(const char* format, ...);

// The growth exponent of time over size on a log scale, between two points.
double GrowthExponent(double smallSize, double smallSeconds, double largeSize, double largeSeconds);
