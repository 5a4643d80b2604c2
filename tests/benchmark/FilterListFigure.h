#pragma once
// The manager window's filter list refilled for a selected vendor category,
// as a selection in its category list refills it, against the bare walk of
// that category.

#include <windows.h>
#include <strmif.h>

#include "Comparison.h"

struct FilterListFigure
{
    Comparison timing;
    int listed = 0;  // entries in the list after the program's refill
    int walked = 0;  // filters of the bare walk
};

// Selects the category's entry (by its display name) in the manager window's
// category list and times the refill that the selection makes.
FilterListFigure MeasureFilterListRefill(HWND managerWindow, const char* categoryName,
                                         ICreateDevEnum* devEnum, REFCLSID category, int runs);
