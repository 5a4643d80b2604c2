#pragma once
// Filter categories and their members as the tests see them: registered for
// the length of a test, listed by the platform's own device enumerator (read
// directly from its monikers' property bags), and delivered by the catalogue's
// walks.

#include <gtest/gtest.h>

#include <windows.h>
#include <dshow.h>

#include <ostream>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "NamedClsid.h"
#include "TestHost.h"
#include "TestRegistry.h"

// Entries as a list or a walk has them, name and CLSID, in order; compared whole.
using Entries = std::vector<NamedClsid>;
inline bool operator==(const NamedClsid& left, const NamedClsid& right)
{
    return left.name == right.name && left.clsid == right.clsid;
}
void PrintTo(const NamedClsid& entry, std::ostream* out);

// A system device enumerator and a filter mapper of the test's own; a failure
// to create either is reported.
ComPtr<ICreateDevEnum> DeviceEnumerator();
ComPtr<IFilterMapper2> FilterMapper();

// The category's moniker enumerator, from a device enumerator of the test's
// own; `status` receives CreateClassEnumerator's result (S_FALSE, and no
// enumerator, for a category without members), or E_NOINTERFACE when there is
// no device enumerator.
ComPtr<IEnumMoniker> ClassEnumerator(REFCLSID category, HRESULT* status = nullptr);

// Every member of the category as the platform lists it, in its order: the
// "CLSID" property as a CLSID (GUID_NULL when missing or not one), and the
// "FriendlyName" property (empty when missing). `status` as ClassEnumerator
// gives it.
Entries ListCategoryMembers(REFCLSID category, HRESULT* status = nullptr);

// Every filter category, as EnumerateFilterCategories delivers them.
Entries AllCategories();

// The filters of one category, through a moniker enumerator made as the windows
// make it; empty for a category without members.
Entries FiltersOf(REFCLSID category);

// The names under which the entries carry this CLSID, in their order: whether
// it is listed, how often, and as what.
Names ListedNames(const Entries& entries, REFCLSID clsid);

// A filter registered in a category for the length of a test, with the values
// through which the category lists it.
struct RegisteredFilter : ScopedClassesKey
{
    RegisteredFilter(REFCLSID category, const std::wstring& name, REFCLSID filter = NewGuid())
        : ScopedClassesKey(InstancePath(category, filter)), clsid(filter)
    {
        EXPECT_EQ(ERROR_SUCCESS, WriteEntry(path(), GuidTextW(filter), name)) << path();
    }
    bool Registered() const { return KeyExists(path()); }

    const CLSID clsid;
};

// A filter category registered for the length of a test: listed among the
// machine's categories, and removed with the filters registered in it.
struct RegisteredCategory
{
    explicit RegisteredCategory(const std::wstring& name, REFCLSID category = NewGuid())
        : clsid(category), listing(CLSID_ActiveMovieCategories, name, category), members(ClassPath(category))
    {
    }
    // Registers a filter in the category; it goes with the category.
    void Register(REFCLSID filter, const std::wstring& name) const
    {
        EXPECT_EQ(ERROR_SUCCESS, WriteEntry(InstancePath(clsid, filter), GuidTextW(filter), name));
    }

    CLSID clsid;
    RegisteredFilter listing;
    ScopedClassesKey members;
};
