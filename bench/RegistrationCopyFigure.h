#pragma once
// Copying a large registration into another category: AddFilterToCategory
// against the bare reads and writes of the same values, the peak memory each
// adds to a fresh process, and the copy as a whole process against the
// platform's own "reg copy".

#include <windows.h>

#include <vector>

#include "Comparison.h"
#include "CopyHelper.h"
#include "LargeRegistration.h"

struct RegistrationCopyFigure
{
    Comparison inProcess;
    LONG status = 0;                 // of the program's last copy
    bool copiedExactly = false;      // the target matched the source after it
    Comparison asProcess;            // the program's copy in a process of its own, against reg copy
    std::vector<Sample> bareProcess; // the bare copy in the same helper program
    DWORD processExit = 0;           // of the last helper process
    DWORD regCopyExit = 0;           // of the last reg copy
    double peakAddedBytes = 0;       // median, the program's copy in a fresh process
    double floorPeakAddedBytes = 0;
    double platformReadPeakBytes = 0; // the platform's read of the large value alone
    bool freshPeak = false;
};

RegistrationCopyFigure MeasureRegistrationCopy(LargeRegistration& registration, int runs);
