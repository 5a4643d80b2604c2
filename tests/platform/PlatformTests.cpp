// What the catalogue relies on from the platform's media filter services and
// registry, checked against the real services of the test session.
#include <gtest/gtest.h>

#include <dshow.h>

#include "CategoryMembers.h"
#include "ComPtr.h"
#include "TestRegistry.h"

TEST(Platform, CreatesBothMediaServices)
{
    ComPtr<ICreateDevEnum> devEnum = DeviceEnumerator();
    EXPECT_TRUE(devEnum);
    ComPtr<IFilterMapper2> mapper;
    EXPECT_EQ(S_OK,
              ::CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                 IID_IFilterMapper2, mapper.put_void()));
}

TEST(Platform, InstanceKeysAreTheMembersOfACategory)
{
    ComPtr<ICreateDevEnum> devEnum = DeviceEnumerator();
    const GUID category = NewGuid();
    const GUID filter = NewGuid();
    ScopedClassesKey cleanup(ClassPath(category));

    // A category without members: status 1 and no enumerator.
    ComPtr<IEnumMoniker> enumerator;
    EXPECT_EQ(S_FALSE, devEnum->CreateClassEnumerator(category, enumerator.put(), 0));
    EXPECT_FALSE(enumerator);

    // A key written now shows in the next walk.
    ASSERT_EQ(ERROR_SUCCESS, WriteString(InstancePath(category, filter), L"FriendlyName", L"Probe"));
    ASSERT_EQ(S_OK, devEnum->CreateClassEnumerator(category, enumerator.put(), 0));
    int monikers = 0;
    for (ComPtr<IMoniker> moniker; enumerator->Next(1, moniker.put(), nullptr) == S_OK;)
        ++monikers;
    EXPECT_EQ(1, monikers);
}
