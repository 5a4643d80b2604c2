#include "CollectedWalks.h"

#include <gtest/gtest.h>

#include <dshow.h>

#include "CategoryMembers.h"
#include "FilterEnumeration.h"
#include "TestRegistry.h"

std::vector<NamedClsid> AllCategories()
{
    std::vector<NamedClsid> entries;
    EnumerateFilterCategories([&](const NamedClsid& entry) { entries.push_back(entry); });
    return entries;
}

std::vector<NamedClsid> FiltersOf(REFCLSID category)
{
    std::vector<NamedClsid> entries;
    ComPtr<ICreateDevEnum> devEnum = DeviceEnumerator();
    if (!devEnum)
        return entries;
    ComPtr<IEnumMoniker> enumerator;
    if (FAILED(devEnum->CreateClassEnumerator(category, enumerator.put(), 0)))
    {
        ADD_FAILURE() << "no moniker enumerator for " << GuidText(category);
        return entries;
    }
    EnumerateCategoryFilters(enumerator.get(), [&](const NamedClsid& entry) { entries.push_back(entry); });
    return entries;
}
