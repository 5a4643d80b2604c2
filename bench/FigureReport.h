#pragma once
// The benchmark's output: one line per figure, medians and ratios.

#include <string>

#include "Comparison.h"

// Whether the program's ratio is within the target.
bool TargetMet(const Comparison& comparison, double target);

// "label: program 1.234 s, floor 1.200 s, ratio 1.03 (target <= 1.10, met)"
void ReportComparison(const std::string& label, const Comparison& comparison, double target,
                      const std::string& detail = std::string());

// A free-form line of the report.
void ReportLine(const char* format, ...);

// The growth exponent of time over size on a log scale, between two points.
double GrowthExponent(double smallSize, double smallSeconds, double largeSize, double largeSeconds);
