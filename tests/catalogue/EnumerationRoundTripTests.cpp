// What the registration operations write is what the next walk reports: the
// vendor categories among the filter categories, and a filter added to or
// removed from a category.
#include <gtest/gtest.h>

#include <dshow.h>

#include <string>
#include <vector>

#include "CategoryMembers.h"
#include "ComPtr.h"
#include "FilterRegistration.h"
#include "TestRegistry.h"
#include "VendorCategories.h"

TEST(RoundTrip, VendorCategoriesAreAmongTheCategories)
{
    const ComPtr<IFilterMapper2> mapper = FilterMapper();
    ASSERT_TRUE(mapper);
    CreateVendorCategories(mapper.get());

    const Entries categories = AllCategories();

    EXPECT_EQ(Names{"ZARV Video Processors"}, ListedNames(categories, CLSID_ZarvVideoProcessors));
    EXPECT_EQ(Names{"ZARV Audio Processors"}, ListedNames(categories, CLSID_ZarvAudioProcessors));
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
    const Entries filters = FiltersOf(target);
    EXPECT_EQ(2u, filters.size());
    EXPECT_EQ(Names{"Copied"}, ListedNames(filters, registered));
    EXPECT_EQ(Names{"From Class Key"}, ListedNames(filters, classOnly));

    RemoveFilterFromCategory(target, registered);
    EXPECT_EQ((Entries{{"From Class Key", classOnly}}), FiltersOf(target));

    RemoveFilterFromCategory(target, classOnly);
    EXPECT_TRUE(FiltersOf(target).empty());
}
