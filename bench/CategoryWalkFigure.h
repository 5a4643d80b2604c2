#pragma once
// The category walk: every filter category with the nested walk of each
// category's filters, as the Add Filter dialog runs it, against the bare walk.

#include <windows.h>
#include <strmif.h>

#include "BareWalk.h"
#include "Comparison.h"

struct CategoryWalkFigure
{
    Comparison timing;
    WalkCount delivered;  // by the program's walk, last run
    WalkCount floorCount; // by the bare walk, last run
};

CategoryWalkFigure MeasureCategoryWalk(ICreateDevEnum* filterDevEnum, int runs);

// The program's walk once, delivering nothing anywhere.
WalkCount ProgramCategoryWalk(ICreateDevEnum* filterDevEnum);
