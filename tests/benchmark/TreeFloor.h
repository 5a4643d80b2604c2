#pragma once
// The floor of the Add Filter dialog: the bare category walk filling a bare
// tree view. Also reports the share of the tree's own sorted insertion.

#include <windows.h>
#include <strmif.h>

#include <vector>

#include "BareTree.h"

struct TreeFloorRun
{
    double seconds = 0.0; // walk and insertion
    int items = 0;        // items in the tree afterwards
};

TreeFloorRun FillBareTree(ICreateDevEnum* filterDevEnum, BareTree& tree);
