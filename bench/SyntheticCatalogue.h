#pragma once
// A large synthetic filter catalogue in the classes root: categories listed
// under CLSID_ActiveMovieCategories, each with its filters as Instance keys
// carrying "CLSID", "FriendlyName" and a 1 KiB binary "FilterData".
//
// The bulk (the category entries and the filter keys) is written as volatile
// keys: the registry server keeps them in memory and never saves them, so its
// periodic save does not stall the measurements. The class keys above them are
// ordinary keys, so that the program can add registrations beside them.

#include <windows.h>

#include <string>
#include <vector>

class SyntheticCatalogue
{
public:
    static const int kFilterDataBytes = 1024;

    // Adds categories of `filtersPerCategory` filters each until the catalogue
    // holds `categories` of them. Returns the registry status of the first
    // failing call, or 0.
    LSTATUS GrowTo(int categories, int filtersPerCategory);

    // Registers `count` filters as Instance keys of an existing or new category
    // that is not listed among the filter categories (as the vendor categories
    // are before the program registers them).
    static LSTATUS FillCategory(REFCLSID category, int count, int firstNumber);
    // Deletes every Instance key of the category.
    static void EmptyCategory(REFCLSID category);

    int CategoryCount() const { return static_cast<int>(m_categories.size()); }
    int FilterCount() const { return m_filterCount; }

private:
    std::vector<CLSID> m_categories;
    int m_filterCount = 0;
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
std::wstring ClsidTextW(REFCLSID clsid);

// A fresh random identifier.
CLSID NewClsid();
