// What the registration operations write is what the next walk reports: the
// vendor categories among the filter categories, and a filter added to or
// removed from a category.
#include <gtest/gtest.h>

#include <dshow.h>

#include <string>
#include <vector>

#include "CollectedWalks.h"
#include "ComPtr.h"
#include "FilterEnumeration.h"
#include "FilterRegistration.h"
#include "TestRegistry.h"
#include "VendorCategories.h"

namespace {

int CountOf(const std::vector<NamedClsid>& entries, REFCLSID clsid, const std::string& name)
{
    int count = 0;
    for (const NamedClsid& entry : entries)
        if (entry.clsid == clsid && entry.name == name)
            ++count;
    return count;
}

} // namespace

TEST(RoundTrip, VendorCategoriesAreAmongTheCategories)
{
    ComPtr<IFilterMapper2> mapper;
    ASSERT_EQ(S_OK,
              ::CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                 IID_IFilterMapper2, mapper.put_void()));
    CreateVendorCategories(mapper.get());

    const std::vector<NamedClsid> categories = AllCategories();

    EXPECT_EQ(1, CountOf(categories, CLSID_ZarvVideoProcessors, "ZARV Video Processors"));
    EXPECT_EQ(1, CountOf(categories, CLSID_ZarvAudioProcessors, "ZARV Audio Processors"));
}

TEST(RoundTrip, AddedFiltersAreListedUntilRemoved)
{
    const GUID source = NewGuid(), target = NewGuid();
    const GUID registered = NewGuid(), classOnly = NewGuid();
    ScopedClassesKey sourceKeys(ClassPath(source));
    ScopedClassesKey targetKeys(ClassPath(target));
    ScopedClassesKey classOnlyKey(ClassPath(classOnly));
    // One filter registered in the source category, one known only by its class key.
    ASSERT_EQ(ERROR_SUCCESS, WriteEntry(InstancePath(source, registered), GuidTextW(registered), L"Copied"));
    ASSERT_EQ(ERROR_SUCCESS, WriteString(ClassPath(classOnly), nullptr, L"From Class Key"));

    ASSERT_EQ(0, AddFilterToCategory(source, registered, target));
    ASSERT_EQ(0, AddFilterToCategory(source, classOnly, target));
    std::vector<NamedClsid> filters = FiltersOf(target);
    EXPECT_EQ(2u, filters.size());
    EXPECT_EQ(1, CountOf(filters, registered, "Copied"));
    EXPECT_EQ(1, CountOf(filters, classOnly, "From Class Key"));

    RemoveFilterFromCategory(target, registered);
    filters = FiltersOf(target);
    ASSERT_EQ(1u, filters.size());
    EXPECT_EQ(1, CountOf(filters, classOnly, "From Class Key"));

    RemoveFilterFromCategory(target, classOnly);
    EXPECT_TRUE(FiltersOf(target).empty());
}
