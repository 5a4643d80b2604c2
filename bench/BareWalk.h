#pragma once
// The floor of the catalogue walks: the same platform calls in the same order
// as the program's walks (device enumerator, moniker enumerators, property
// bags, "CLSID" and "FriendlyName" reads, CLSIDFromString), with nothing done
// to the names unless a visitor asks for them.

#include <windows.h>
#include <strmif.h>

class BareWalkVisitor
{
public:
    // Returns what the category's filters are handed as their parent.
    virtual void* Category(const wchar_t* name, REFCLSID clsid) = 0;
    virtual void Filter(void* parent, const wchar_t* name, REFCLSID clsid) = 0;

protected:
    ~BareWalkVisitor() = default;
};

struct WalkCount
{
    int categories = 0;
    int filters = 0;
};

// Every category, through a device enumerator of its own, and each category's
// filters through `filterDevEnum`, nested inside the category walk.
WalkCount BareWalkAllCategories(ICreateDevEnum* filterDevEnum, BareWalkVisitor* visitor);

// The filters of one category.
int BareWalkCategory(ICreateDevEnum* devEnum, REFCLSID category, BareWalkVisitor* visitor, void* parent);
