#pragma once
// What the platform's own device enumerator reports for a category, read
// directly from its monikers' property bags.

#include <windows.h>

#include <string>
#include <vector>

struct CategoryMember
{
    std::wstring clsid;        // the "CLSID" property, empty when missing
    std::wstring friendlyName; // the "FriendlyName" property, empty when missing
};

// Every moniker of the category, in the enumerator's order. `status` receives
// CreateClassEnumerator's result (S_FALSE for a category without members).
std::vector<CategoryMember> ListCategoryMembers(REFCLSID category, HRESULT* status = nullptr);
