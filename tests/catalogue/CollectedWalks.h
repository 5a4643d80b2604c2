#pragma once
// The catalogue's walks, run against the real device enumerator, with their
// entries collected for checking.

#include <windows.h>

#include <vector>

#include "NamedClsid.h"

// Every filter category, as EnumerateFilterCategories delivers them.
std::vector<NamedClsid> AllCategories();

// The filters of one category, through a moniker enumerator made as the windows
// make it; empty for a category without members.
std::vector<NamedClsid> FiltersOf(REFCLSID category);
