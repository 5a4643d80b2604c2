// What the catalogue relies on from the platform's media filter services and
// registry, checked against the real services of the test session.
#include <gtest/gtest.h>

#include <dshow.h>

#include "CategoryMembers.h"
#include "ComPtr.h"
#include "TestRegistry.h"

TEST(Platform, CreatesBothMediaServices)
{
    EXPECT_TRUE(DeviceEnumerator());
    EXPECT_TRUE(FilterMapper());
}

TEST(Platform, InstanceKeysAreTheMembersOfACategory)
{
    const GUID category = NewGuid();
    const GUID filter = NewGuid();
    ScopedClassesKey cleanup(ClassPath(category));

    // A category without members: status 1 and no enumerator.
    HRESULT status = E_FAIL;
    EXPECT_FALSE(ClassEnumerator(category, &status));
    EXPECT_EQ(S_FALSE, status);

    // A key written now shows in the next walk.
    ASSERT_EQ(ERROR_SUCCESS, WriteString(InstancePath(category, filter), L"FriendlyName", L"Probe"));
    EXPECT_EQ(1u, ListCategoryMembers(category, &status).size());
    EXPECT_EQ(S_OK, status);
}
