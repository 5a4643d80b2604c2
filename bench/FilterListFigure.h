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
    int listed = 0; // entries in the list after the program's refill
    int walked = 0; // filters of the bare walk
    // Where the refill's time goes: the walk's names put into the same list
    // control by bare messages (emptied, then LB_ADDSTRING and LB_SETITEMDATA
    // for each), as they are, and with the control's redrawing switched off
    // for the duration.
    Sample listInsertion;
    Sample listInsertionWithoutRedraw;
};

// Selects the category's entry (by its display name) in the manager window's
// category list and times the refill that the selection makes.
FilterListFigure MeasureFilterListRefill(HWND managerWindow, const char* categoryName,
                                         ICreateDevEnum* devEnum, REFCLSID category, int runs);
