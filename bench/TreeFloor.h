#pragma once
// The tree's share of the Add Filter dialog's floor: the items of one bare
// walk, recorded, then inserted into a bare tree view the way the dialog
// inserts them. The dialog's floor is the bare walk plus this insertion.

#include <windows.h>

#include <string>
#include <vector>

#include "BareTree.h"
#include "BareWalk.h"
#include "Stopwatch.h"

struct RecordedItem
{
    std::wstring name;
    CLSID clsid;
};

struct RecordedCategory
{
    RecordedItem category;
    std::vector<RecordedItem> filters;
};

class CatalogueRecorder : public BareWalkVisitor
{
public:
    void* Category(const wchar_t* name, REFCLSID clsid) override;
    void Filter(void* parent, const wchar_t* name, REFCLSID clsid) override;

    std::vector<RecordedCategory> categories;
};

struct TreeFill
{
    Sample time;
    int items = 0; // in the tree afterwards
};

// Inserts every recorded item, categories at the root and their filters under
// them, in the walk's order; empties the tree again outside the time.
TreeFill FillBareTree(const std::vector<RecordedCategory>& catalogue, BareTree& tree);
