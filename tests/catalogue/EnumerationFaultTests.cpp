// The walks over stand-in objects, for the answers the real device enumerator
// cannot be made to give: failed binds and reads, null strings, early ends of a
// walk. Every test ends by checking that each object is back to the one
// reference the test holds.
#include <gtest/gtest.h>

#include <dshow.h>

#include <deque>
#include <string>
#include <vector>

#include "FakeDeviceEnumeration.h"
#include "FilterEnumeration.h"
#include "PropertyNames.h"
#include "StandIns.h"
#include "TestHost.h"
#include "TestRegistry.h"

namespace {

class FakeWalk : public ::testing::Test
{
protected:
    FakePropertyBag& Bag() { return m_bags.emplace_back(); }

    // A bag with a valid CLSID and the given name.
    FakePropertyBag& NamedBag(const GUID& clsid, const std::wstring& name)
    {
        return Bag().Text(kClsidProperty, GuidTextW(clsid)).Text(kFriendlyNameProperty, name);
    }

    FakeMoniker& Moniker(FakePropertyBag& bag, HRESULT bindStatus = S_OK)
    {
        return m_monikers.emplace_back(&bag, bindStatus);
    }

    FakeEnumMoniker& Enumerator(std::vector<FakeMoniker*> monikers, HRESULT endStatus = S_FALSE,
                                FakeMoniker* withEnd = nullptr)
    {
        return m_enumerators.emplace_back(std::move(monikers), endStatus, withEnd);
    }

    FakeDevEnum& DevEnum(HRESULT status, FakeEnumMoniker* enumerator)
    {
        return m_devEnums.emplace_back(status, enumerator);
    }

    // The category walk, with `devEnum` as the device enumerator it creates.
    void WalkCategories(FakeDevEnum* devEnum, HRESULT creationStatus = S_OK)
    {
        creation.Fail(CLSID_SystemDeviceEnum, creationStatus);
        creation.Give(CLSID_SystemDeviceEnum, devEnum);
        EnumerateFilterCategories([this](const NamedClsid& entry) { Deliver(entry); });
    }

    void WalkFilters(IEnumMoniker* enumerator)
    {
        EnumerateCategoryFilters(enumerator, [this](const NamedClsid& entry) { Deliver(entry); });
    }

    void Deliver(const NamedClsid& entry)
    {
        delivered.push_back(entry);
        // Which Next the entry came after: it is delivered before the next fetch.
        nextsAtDelivery.push_back(m_enumerators.empty() ? 0 : m_enumerators.back().nexts());
    }

    std::vector<std::string> DeliveredNames() const
    {
        std::vector<std::string> names;
        for (const NamedClsid& entry : delivered)
            names.push_back(entry.name);
        return names;
    }

    // After every walk: each object back to the test's own reference, every read
    // asked for a string and every string read freed, every bind made as the
    // platform expects, and no moniker or bag held when the next moniker was fetched.
    void TearDown() override
    {
        EXPECT_EQ(0, TakeUnfreedBagStrings());
        for (const FakePropertyBag& bag : m_bags)
        {
            EXPECT_EQ(1, bag.refs());
            EXPECT_EQ(0, bag.untypedReads());
        }
        for (const FakeMoniker& moniker : m_monikers)
        {
            EXPECT_EQ(1, moniker.refs());
            EXPECT_EQ(0, moniker.unexpectedBinds());
        }
        for (const FakeEnumMoniker& enumerator : m_enumerators)
        {
            EXPECT_EQ(1, enumerator.refs());
            EXPECT_EQ(0, enumerator.fetchesWhileHeld());
            EXPECT_EQ(0, enumerator.nextsAfterEnd());
        }
        for (const FakeDevEnum& devEnum : m_devEnums)
            EXPECT_EQ(1, devEnum.refs());
    }

    ScopedCreation creation; // what the category walk asked of CoCreateInstance
    std::vector<NamedClsid> delivered;
    std::vector<int> nextsAtDelivery;

private:
    std::deque<FakePropertyBag> m_bags;
    std::deque<FakeMoniker> m_monikers;
    std::deque<FakeEnumMoniker> m_enumerators;
    std::deque<FakeDevEnum> m_devEnums;
};

// Either walk, over the monikers of one enumerator, the category walk's coming
// from a device enumerator that offers it. Rows are named by their walk.
struct WalkKind : TableRow
{
    bool categories;
    HRESULT bindFailure; // how a moniker of the walk fails to bind
};

class FakeWalks : public FakeWalk, public ::testing::WithParamInterface<WalkKind>
{
protected:
    void Walk(FakeEnumMoniker& enumerator)
    {
        if (GetParam().categories)
            WalkCategories(&DevEnum(S_OK, &enumerator));
        else
            WalkFilters(&enumerator);
    }
};

} // namespace

TEST_F(FakeWalk, CategoriesNeedTheirOwnDeviceEnumerator)
{
    FakeDevEnum& devEnum = DevEnum(S_OK, nullptr);
    WalkCategories(&devEnum, REGDB_E_CLASSNOTREG);

    ASSERT_EQ(1u, creation.requests.size());
    EXPECT_EQ(CLSID_SystemDeviceEnum, creation.requests[0].clsid);
    EXPECT_EQ(nullptr, creation.requests[0].outer);
    EXPECT_EQ(DWORD(CLSCTX_INPROC_SERVER), creation.requests[0].context);
    EXPECT_EQ(IID_ICreateDevEnum, creation.requests[0].iid);
    EXPECT_EQ(0, devEnum.requests());
    EXPECT_TRUE(delivered.empty());
}

TEST_F(FakeWalk, NoCategoriesStillReleasesTheDeviceEnumerator)
{
    FakeDevEnum& devEnum = DevEnum(S_FALSE, nullptr);
    WalkCategories(&devEnum);

    EXPECT_EQ(1, devEnum.requests());
    EXPECT_EQ(CLSID_ActiveMovieCategories, devEnum.category());
    EXPECT_EQ(0u, devEnum.flags());
    EXPECT_TRUE(delivered.empty());
}

TEST_F(FakeWalk, OnlyFullSuccessOpensTheCategoryWalk)
{
    // Whatever comes with any status but 0 is released unwalked.
    for (const HRESULT status : {S_FALSE, HRESULT(2), E_OUTOFMEMORY})
    {
        FakeEnumMoniker& categories = Enumerator({&Moniker(NamedBag(NewGuid(), L"Hidden"))});
        WalkCategories(&DevEnum(status, &categories));
        EXPECT_EQ(0, categories.nexts()) << status;
    }
    EXPECT_TRUE(delivered.empty());
}

TEST_P(FakeWalks, SkipAMonikerThatCannotBeBound)
{
    const GUID first = NewGuid(), third = NewGuid();
    FakePropertyBag& unbound = NamedBag(NewGuid(), L"Unbound");
    FakeEnumMoniker& monikers = Enumerator({
        &Moniker(NamedBag(first, L"First")),
        &Moniker(unbound, GetParam().bindFailure),
        &Moniker(NamedBag(third, L"Third")),
    });
    Walk(monikers);

    EXPECT_EQ((std::vector<std::string>{"First", "Third"}), DeliveredNames());
    ASSERT_EQ(2u, delivered.size());
    EXPECT_EQ(first, delivered[0].clsid);
    EXPECT_EQ(third, delivered[1].clsid);
    EXPECT_TRUE(unbound.reads().empty());
    EXPECT_EQ((std::vector<int>{1, 3}), nextsAtDelivery);
    EXPECT_EQ(4, monikers.nexts());
}

TEST_P(FakeWalks, EndAtAnyStatusButSuccess)
{
    // A moniker that comes with any other status is released, not read.
    for (const HRESULT end : {S_FALSE, HRESULT(2), E_UNEXPECTED})
    {
        FakePropertyBag& late = NamedBag(NewGuid(), L"Late");
        FakeEnumMoniker& monikers =
            Enumerator({&Moniker(NamedBag(NewGuid(), L"One")), &Moniker(NamedBag(NewGuid(), L"Two"))}, end,
                       &Moniker(late));
        Walk(monikers);
        EXPECT_EQ(3, monikers.nexts()) << end;
        EXPECT_TRUE(late.reads().empty()) << end;
    }
    EXPECT_EQ((std::vector<std::string>{"One", "Two", "One", "Two", "One", "Two"}), DeliveredNames());
    EXPECT_EQ((std::vector<int>{1, 2, 1, 2, 1, 2}), nextsAtDelivery);
}

INSTANTIATE_TEST_SUITE_P(, FakeWalks,
                         ::testing::Values(WalkKind{{"Categories"}, true, E_ACCESSDENIED},
                                           WalkKind{{"Filters"}, false, E_FAIL}));

TEST_F(FakeWalk, CategoryReadsClsidFirstAndSkipsAnInvalidOne)
{
    FakePropertyBag& missing = Bag().Text(kFriendlyNameProperty, L"No CLSID");
    FakePropertyBag& malformed =
        Bag().Text(kClsidProperty, L"{not a class}").Text(kFriendlyNameProperty, L"Malformed");
    FakePropertyBag& nullText = Bag().NullText(kClsidProperty).Text(kFriendlyNameProperty, L"Null CLSID");
    FakePropertyBag& number = Bag().Number(kClsidProperty, 7).Text(kFriendlyNameProperty, L"Numeric CLSID");
    const GUID valid = NewGuid();
    FakePropertyBag& good = NamedBag(valid, L"Good");
    FakeEnumMoniker& categories = Enumerator(
        {&Moniker(missing), &Moniker(malformed), &Moniker(nullText), &Moniker(number), &Moniker(good)});
    WalkCategories(&DevEnum(S_OK, &categories));

    const std::vector<std::wstring> clsidOnly{kClsidProperty};
    EXPECT_EQ(clsidOnly, missing.reads());
    EXPECT_EQ(clsidOnly, malformed.reads());
    EXPECT_EQ(clsidOnly, nullText.reads());
    EXPECT_EQ(clsidOnly, number.reads());
    EXPECT_EQ((std::vector<std::wstring>{kClsidProperty, kFriendlyNameProperty}), good.reads());
    ASSERT_EQ(1u, delivered.size());
    EXPECT_EQ("Good", delivered[0].name);
    EXPECT_EQ(valid, delivered[0].clsid);
}

TEST_F(FakeWalk, CategoryWithoutReadableNameIsNamedByItsClsidText)
{
    const GUID failing = NewGuid(), number = NewGuid(), nullName = NewGuid();
    const std::wstring failingText = LowerCase(GuidTextW(failing));
    FakeEnumMoniker& categories = Enumerator({
        &Moniker(Bag().Text(kClsidProperty, failingText).Failing(kFriendlyNameProperty, E_OUTOFMEMORY)),
        &Moniker(Bag().Text(kClsidProperty, GuidTextW(number)).Number(kFriendlyNameProperty, 5)),
        &Moniker(Bag().Text(kClsidProperty, GuidTextW(nullName)).NullText(kFriendlyNameProperty)),
    });
    WalkCategories(&DevEnum(S_OK, &categories));

    ASSERT_EQ(3u, delivered.size());
    EXPECT_EQ(AsciiText(failingText), delivered[0].name);
    EXPECT_EQ(failing, delivered[0].clsid);
    EXPECT_EQ(GuidText(number), delivered[1].name);
    EXPECT_EQ(number, delivered[1].clsid);
    // A name read as a null string is an empty name, not a missing one.
    EXPECT_EQ("", delivered[2].name);
    EXPECT_EQ(nullName, delivered[2].clsid);
}

TEST_F(FakeWalk, FilterReadsNameFirstAndNeedsOne)
{
    const GUID valid = NewGuid();
    FakePropertyBag& missing = Bag().Text(kClsidProperty, GuidTextW(NewGuid()));
    FakePropertyBag& failing =
        Bag().Text(kClsidProperty, GuidTextW(NewGuid())).Failing(kFriendlyNameProperty, E_OUTOFMEMORY);
    FakePropertyBag& number =
        Bag().Text(kClsidProperty, GuidTextW(NewGuid())).Number(kFriendlyNameProperty, 3);
    FakePropertyBag& badClsid =
        Bag().Text(kClsidProperty, L"{bad}").Text(kFriendlyNameProperty, L"Bad CLSID");
    FakePropertyBag& nullClsid = Bag().NullText(kClsidProperty).Text(kFriendlyNameProperty, L"Null CLSID");
    FakePropertyBag& good = NamedBag(valid, L"Good");
    FakeEnumMoniker& filters = Enumerator({&Moniker(missing), &Moniker(failing), &Moniker(number),
                                           &Moniker(badClsid), &Moniker(nullClsid), &Moniker(good)});
    WalkFilters(&filters);

    const std::vector<std::wstring> nameOnly{kFriendlyNameProperty};
    EXPECT_EQ(nameOnly, missing.reads());
    EXPECT_EQ(nameOnly, failing.reads());
    EXPECT_EQ(nameOnly, number.reads());
    const std::vector<std::wstring> both{kFriendlyNameProperty, kClsidProperty};
    EXPECT_EQ(both, badClsid.reads());
    EXPECT_EQ(both, nullClsid.reads());
    EXPECT_EQ(both, good.reads());
    ASSERT_EQ(1u, delivered.size());
    EXPECT_EQ("Good", delivered[0].name);
    EXPECT_EQ(valid, delivered[0].clsid);
}

TEST_F(FakeWalk, FilterNamedByNullStringIsDeliveredEmpty)
{
    const GUID filter = NewGuid();
    FakeEnumMoniker& filters =
        Enumerator({&Moniker(Bag().NullText(kFriendlyNameProperty).Text(kClsidProperty, GuidTextW(filter)))});
    WalkFilters(&filters);

    ASSERT_EQ(1u, delivered.size());
    EXPECT_EQ("", delivered[0].name);
    EXPECT_EQ(filter, delivered[0].clsid);
}
