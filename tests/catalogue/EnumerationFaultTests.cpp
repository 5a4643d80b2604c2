// The walks over stand-in objects, for the answers the real device enumerator
// cannot be made to give: failed binds and reads, null strings, early ends of a
// walk. The stand-ins (a device enumerator, a moniker enumerator, monikers and
// property bags whose answers a test sets) count their references, and every
// test ends by checking that each object is back to the one reference the test
// holds. A call that the walks must never make fails the test where it is made.
#include <gtest/gtest.h>

#include <dshow.h>
#include <oleauto.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "CategoryMembers.h"
#include "FilterEnumeration.h"
#include "PropertyNames.h"
#include "StandIns.h"
#include "TestHost.h"
#include "TestRegistry.h"

// Exported by the platform's automation library; not in its headers.
extern "C" void WINAPI SetOaNoCache();

namespace {

// Watches the task allocator, through which SysAllocString takes and
// SysFreeString gives back a string's memory, for the strings the bags hand
// out. The platform's cache of freed strings is turned off, so a string goes
// back to the allocator when it is freed. Registered for the life of the
// process: the allocator may call it as long as anything it watched is alive.
class StringWatch final : public FakeComObject<IMallocSpy>
{
public:
    StringWatch() : FakeComObject(IID_IMallocSpy)
    {
        ::SetOaNoCache();
        ::CoRegisterMallocSpy(this);
    }

    BSTR Allocate(const std::wstring& text)
    {
        m_watchedThread = ::GetCurrentThreadId();
        const BSTR string = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        m_watchedThread = 0;
        return string;
    }

    // How many watched strings are still unfreed; the count starts anew.
    int TakeUnfreed()
    {
        std::set<void*> unfreed;
        Update([&] { unfreed.swap(m_live); });
        return static_cast<int>(unfreed.size());
    }

    void* STDMETHODCALLTYPE PostAlloc(void* actual) override
    {
        if (actual && m_watchedThread == ::GetCurrentThreadId())
            Update([&] { m_live.insert(actual); });
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override
    {
        Update([&] { m_live.erase(request); });
        return request;
    }

    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override
    {
        *newRequest = request;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

private:
    template <typename Change>
    void Update(Change change)
    {
        ::AcquireSRWLockExclusive(&m_lock);
        change();
        ::ReleaseSRWLockExclusive(&m_lock);
    }

    SRWLOCK m_lock = SRWLOCK_INIT;
    std::set<void*> m_live;
    volatile DWORD m_watchedThread = 0;
};

StringWatch& Strings()
{
    static StringWatch* const watch = new StringWatch; // never deleted: see above
    return *watch;
}

// A property bag with string values, values that fail to read, values read as a
// null string and values that come back as a number.
class FakePropertyBag : public FakeComObject<IPropertyBag>
{
public:
    FakePropertyBag() : FakeComObject(IID_IPropertyBag) {}

    FakePropertyBag& Text(const wchar_t* name, std::wstring text)
    {
        return Answer(name, [text](VARIANT* value) {
            V_VT(value) = VT_BSTR;
            V_BSTR(value) = Strings().Allocate(text);
            return V_BSTR(value) ? S_OK : E_OUTOFMEMORY;
        });
    }
    FakePropertyBag& NullText(const wchar_t* name)
    {
        return Answer(name, [](VARIANT* value) {
            V_VT(value) = VT_BSTR;
            V_BSTR(value) = nullptr;
            return S_OK;
        });
    }
    FakePropertyBag& Number(const wchar_t* name, LONG number)
    {
        return Answer(name, [number](VARIANT* value) {
            V_VT(value) = VT_I4;
            V_I4(value) = number;
            return S_OK;
        });
    }
    FakePropertyBag& Failing(const wchar_t* name, HRESULT status)
    {
        return Answer(name, [status](VARIANT*) { return status; });
    }

    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override
    {
        if (!name || !value)
            return E_POINTER;
        reads.emplace_back(name);
        if (V_VT(value) != VT_BSTR)
            ADD_FAILURE() << "a read of " << AsciiText(name) << " into a variant not set to VT_BSTR";

        const auto found = m_answers.find(name);
        if (found == m_answers.end())
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND); // what the platform's bag says
        return found->second(value);
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }

    std::vector<std::wstring> reads; // the names read, in order

private:
    // How a read of the name answers: the variant it fills in, and its status.
    using Reading = std::function<HRESULT(VARIANT*)>;
    FakePropertyBag& Answer(const wchar_t* name, Reading reading)
    {
        m_answers[name] = std::move(reading);
        return *this;
    }

    std::map<std::wstring, Reading> m_answers;
};

// A moniker that binds to a given bag, or fails to bind with a given status.
// The platform's monikers bind with no context, no left moniker and IPropertyBag.
class FakeMoniker : public FakeComObject<IMoniker>
{
public:
    explicit FakeMoniker(FakePropertyBag& bag, HRESULT bindStatus = S_OK)
        : FakeComObject(IID_IMoniker), bag(bag), m_bindStatus(bindStatus)
    {
    }

    FakePropertyBag& bag;

    STDMETHODIMP BindToStorage(IBindCtx* context, IMoniker* left, REFIID iid, void** out) override
    {
        if (context || left || iid != IID_IPropertyBag)
            ADD_FAILURE() << "a bind with a context, a left moniker or an interface other than IPropertyBag";
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return FAILED(m_bindStatus) ? m_bindStatus : bag.QueryInterface(iid, out);
    }

    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsDirty() override { return E_NOTIMPL; }
    STDMETHODIMP Load(IStream*) override { return E_NOTIMPL; }
    STDMETHODIMP Save(IStream*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP BindToObject(IBindCtx*, IMoniker*, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP ComposeWith(IMoniker*, BOOL, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP Enum(BOOL, IEnumMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP IsEqual(IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP Hash(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP IsRunning(IBindCtx*, IMoniker*, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*) override { return E_NOTIMPL; }
    STDMETHODIMP Inverse(IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP CommonPrefixWith(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP RelativePathTo(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker**) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP IsSystemMoniker(DWORD*) override { return E_NOTIMPL; }

private:
    HRESULT m_bindStatus;
};

// A moniker enumerator that hands out its monikers in order, then answers every
// further Next with the end status; a moniker given for the end comes out along
// with that status, once, as a careless enumerator might hand it. At every Next
// it checks that the monikers handed out before, and their bags, have been
// released, and that the end status has not been given before.
class FakeEnumMoniker : public FakeComObject<IEnumMoniker>
{
public:
    FakeEnumMoniker(std::vector<FakeMoniker*> monikers, HRESULT endStatus = S_FALSE,
                    FakeMoniker* withEnd = nullptr)
        : FakeComObject(IID_IEnumMoniker), m_monikers(std::move(monikers)), m_endStatus(endStatus),
          m_withEnd(withEnd)
    {
    }

    int nexts = 0;

    STDMETHODIMP Next(ULONG count, IMoniker** out, ULONG* fetched) override
    {
        ++nexts;
        const auto held = [](const FakeMoniker* earlier) {
            return !earlier->balanced() || !earlier->bag.balanced();
        };
        if (std::any_of(m_monikers.begin(), m_monikers.begin() + std::min(m_next, m_monikers.size()), held))
            ADD_FAILURE() << "Next " << nexts << " while an earlier moniker or its bag is still held";
        if (!out || count != 1)
            return E_INVALIDARG;
        if (m_next > m_monikers.size())
            ADD_FAILURE() << "Next " << nexts << " after the end status";
        const bool ended = m_next >= m_monikers.size();
        // The next moniker; at the end, the one given for it, only once.
        FakeMoniker* moniker = ended ? nullptr : m_monikers[m_next];
        if (m_next == m_monikers.size())
            moniker = m_withEnd;
        ++m_next;
        if (moniker)
            moniker->AddRef();
        *out = moniker;
        if (fetched)
            *fetched = ended ? 0 : 1;
        return ended ? m_endStatus : S_OK;
    }
    STDMETHODIMP Skip(ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override { return E_NOTIMPL; }
    STDMETHODIMP Clone(IEnumMoniker**) override { return E_NOTIMPL; }

private:
    std::vector<FakeMoniker*> m_monikers;
    HRESULT m_endStatus;
    FakeMoniker* m_withEnd;
    size_t m_next = 0;
};

// A device enumerator that answers CreateClassEnumerator with a given status
// and moniker enumerator (which may be null).
class FakeDevEnum : public FakeComObject<ICreateDevEnum>
{
public:
    FakeDevEnum(HRESULT status, FakeEnumMoniker* enumerator)
        : FakeComObject(IID_ICreateDevEnum), m_status(status), m_enumerator(enumerator)
    {
    }

    int requests = 0;
    CLSID category = GUID_NULL; // as last requested, with its flags
    DWORD flags = 0;

    STDMETHODIMP CreateClassEnumerator(REFCLSID requested, IEnumMoniker** out, DWORD requestFlags) override
    {
        ++requests;
        category = requested;
        flags = requestFlags;
        if (!out)
            return E_POINTER;
        *out = m_enumerator;
        if (m_enumerator)
            m_enumerator->AddRef();
        return m_status;
    }

private:
    HRESULT m_status;
    FakeEnumMoniker* m_enumerator;
};

// The names a bag was asked for, in order.
using Reads = std::vector<std::wstring>;

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
        return m_monikers.emplace_back(bag, bindStatus);
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

    // Either walk over an enumerator of these monikers, the category walk's
    // from a device enumerator that offers it.
    void WalkCategories(std::vector<FakeMoniker*> monikers)
    {
        WalkCategories(&DevEnum(S_OK, &Enumerator(std::move(monikers))));
    }
    void WalkFilters(std::vector<FakeMoniker*> monikers) { WalkFilters(&Enumerator(std::move(monikers))); }

    void Deliver(const NamedClsid& entry)
    {
        delivered.push_back(entry);
        // Which Next the entry came after: it is delivered before the next fetch.
        nextsAtDelivery.push_back(m_enumerators.empty() ? 0 : m_enumerators.back().nexts);
    }

    // What each bag was asked for, the bags in the order they were made.
    std::vector<Reads> BagReads() const
    {
        std::vector<Reads> reads;
        for (const FakePropertyBag& bag : m_bags)
            reads.push_back(bag.reads);
        return reads;
    }

    // After every walk: each object back to the test's own reference, and every
    // string read freed.
    void TearDown() override
    {
        EXPECT_EQ(0, Strings().TakeUnfreed());
        for (const FakePropertyBag& bag : m_bags)
            EXPECT_EQ(1, bag.refs());
        for (const FakeMoniker& moniker : m_monikers)
            EXPECT_EQ(1, moniker.refs());
        for (const FakeEnumMoniker& enumerator : m_enumerators)
            EXPECT_EQ(1, enumerator.refs());
        for (const FakeDevEnum& devEnum : m_devEnums)
            EXPECT_EQ(1, devEnum.refs());
    }

    ScopedCreation creation; // what the category walk asked of CoCreateInstance
    Entries delivered;
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

    EXPECT_EQ(std::vector<CLSID>{CLSID_SystemDeviceEnum}, creation.requested);
    EXPECT_EQ(nullptr, creation.last.outer);
    EXPECT_EQ(DWORD(CLSCTX_INPROC_SERVER), creation.last.context);
    EXPECT_EQ(IID_ICreateDevEnum, creation.last.iid);
    EXPECT_EQ(0, devEnum.requests);
    EXPECT_TRUE(delivered.empty());
}

TEST_F(FakeWalk, NoCategoriesStillReleasesTheDeviceEnumerator)
{
    FakeDevEnum& devEnum = DevEnum(S_FALSE, nullptr);
    WalkCategories(&devEnum);

    EXPECT_EQ(1, devEnum.requests);
    EXPECT_EQ(CLSID_ActiveMovieCategories, devEnum.category);
    EXPECT_EQ(0u, devEnum.flags);
    EXPECT_TRUE(delivered.empty());
}

TEST_F(FakeWalk, OnlyFullSuccessOpensTheCategoryWalk)
{
    // Whatever comes with any status but 0 is released unwalked.
    for (const HRESULT status : {S_FALSE, HRESULT(2), E_OUTOFMEMORY})
    {
        FakeEnumMoniker& categories = Enumerator({&Moniker(NamedBag(NewGuid(), L"Hidden"))});
        WalkCategories(&DevEnum(status, &categories));
        EXPECT_EQ(0, categories.nexts) << status;
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

    EXPECT_EQ((Entries{{"First", first}, {"Third", third}}), delivered);
    EXPECT_TRUE(unbound.reads.empty());
    EXPECT_EQ((std::vector<int>{1, 3}), nextsAtDelivery);
    EXPECT_EQ(4, monikers.nexts);
}

TEST_P(FakeWalks, EndAtAnyStatusButSuccess)
{
    // A moniker that comes with any other status is released, not read.
    const GUID one = NewGuid(), two = NewGuid();
    for (const HRESULT end : {S_FALSE, HRESULT(2), E_UNEXPECTED})
    {
        FakePropertyBag& late = NamedBag(NewGuid(), L"Late");
        FakeEnumMoniker& monikers = Enumerator(
            {&Moniker(NamedBag(one, L"One")), &Moniker(NamedBag(two, L"Two"))}, end, &Moniker(late));
        Walk(monikers);
        EXPECT_EQ(3, monikers.nexts) << end;
        EXPECT_TRUE(late.reads.empty()) << end;
    }
    EXPECT_EQ((Entries{{"One", one}, {"Two", two}, {"One", one}, {"Two", two}, {"One", one}, {"Two", two}}),
              delivered);
    EXPECT_EQ((std::vector<int>{1, 2, 1, 2, 1, 2}), nextsAtDelivery);
}

INSTANTIATE_TEST_SUITE_P(, FakeWalks,
                         ::testing::Values(WalkKind{{"Categories"}, true, E_ACCESSDENIED},
                                           WalkKind{{"Filters"}, false, E_FAIL}));

TEST_F(FakeWalk, CategoryReadsClsidFirstAndSkipsAnInvalidOne)
{
    // Missing, malformed, null and numeric CLSIDs, then a good one.
    const GUID valid = NewGuid();
    WalkCategories({
        &Moniker(Bag().Text(kFriendlyNameProperty, L"No CLSID")),
        &Moniker(Bag().Text(kClsidProperty, L"{not a class}").Text(kFriendlyNameProperty, L"Malformed")),
        &Moniker(Bag().NullText(kClsidProperty).Text(kFriendlyNameProperty, L"Null CLSID")),
        &Moniker(Bag().Number(kClsidProperty, 7).Text(kFriendlyNameProperty, L"Numeric CLSID")),
        &Moniker(NamedBag(valid, L"Good")),
    });

    const Reads clsidOnly{kClsidProperty};
    EXPECT_EQ((std::vector<Reads>{
                  clsidOnly, clsidOnly, clsidOnly, clsidOnly, {kClsidProperty, kFriendlyNameProperty}}),
              BagReads());
    EXPECT_EQ((Entries{{"Good", valid}}), delivered);
}

TEST_F(FakeWalk, CategoryWithoutReadableNameIsNamedByItsClsidText)
{
    const GUID failing = NewGuid(), number = NewGuid(), nullName = NewGuid();
    const std::wstring failingText = LowerCase(GuidTextW(failing));
    WalkCategories({
        &Moniker(Bag().Text(kClsidProperty, failingText).Failing(kFriendlyNameProperty, E_OUTOFMEMORY)),
        &Moniker(Bag().Text(kClsidProperty, GuidTextW(number)).Number(kFriendlyNameProperty, 5)),
        &Moniker(Bag().Text(kClsidProperty, GuidTextW(nullName)).NullText(kFriendlyNameProperty)),
    });

    // The CLSID text as read names the first two; a name read as a null string
    // is an empty name, not a missing one.
    EXPECT_EQ((Entries{{AsciiText(failingText), failing}, {GuidText(number), number}, {"", nullName}}),
              delivered);
}

TEST_F(FakeWalk, FilterReadsNameFirstAndNeedsOne)
{
    // Missing, failing and numeric names, then bad and null CLSIDs, then a good entry.
    const GUID valid = NewGuid();
    WalkFilters({
        &Moniker(Bag().Text(kClsidProperty, GuidTextW(NewGuid()))),
        &Moniker(
            Bag().Text(kClsidProperty, GuidTextW(NewGuid())).Failing(kFriendlyNameProperty, E_OUTOFMEMORY)),
        &Moniker(Bag().Text(kClsidProperty, GuidTextW(NewGuid())).Number(kFriendlyNameProperty, 3)),
        &Moniker(Bag().Text(kClsidProperty, L"{bad}").Text(kFriendlyNameProperty, L"Bad CLSID")),
        &Moniker(Bag().NullText(kClsidProperty).Text(kFriendlyNameProperty, L"Null CLSID")),
        &Moniker(NamedBag(valid, L"Good")),
    });

    const Reads nameOnly{kFriendlyNameProperty}, both{kFriendlyNameProperty, kClsidProperty};
    EXPECT_EQ((std::vector<Reads>{nameOnly, nameOnly, nameOnly, both, both, both}), BagReads());
    EXPECT_EQ((Entries{{"Good", valid}}), delivered);
}

TEST_F(FakeWalk, FilterNamedByNullStringIsDeliveredEmpty)
{
    const GUID filter = NewGuid();
    WalkFilters({&Moniker(Bag().NullText(kFriendlyNameProperty).Text(kClsidProperty, GuidTextW(filter)))});

    EXPECT_EQ((Entries{{"", filter}}), delivered);
}
