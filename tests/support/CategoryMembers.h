#pragma once
// The platform's own device enumerator, as the tests use it: one of the test's
// own, and what it reports for a category, read directly from its monikers'
// property bags.

#include <windows.h>
#include <strmif.h>

#include <string>
#include <vector>

#include "ComPtr.h"

// A system device enumerator of the test's own; a failure to create it is reported.
ComPtr<ICreateDevEnum> DeviceEnumerator();

struct CategoryMember
{
    std::wstring clsid;        // the "CLSID" property, empty when missing
    std::wstring friendlyName; // the "FriendlyName" property, empty when missing
};

// Every moniker of the category, in the enumerator's order. `status` receives
// CreateClassEnumerator's result (S_FALSE for a category without members).
std::vector<CategoryMember> ListCategoryMembers(REFCLSID category, HRESULT* status = nullptr);
