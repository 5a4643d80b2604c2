// The two vendor categories: their registration with the filter mapper and
// the entries that list them.
#include <gtest/gtest.h>

#include <dshow.h>

#include <string>
#include <vector>

#include "CategoryMembers.h"
#include "ComPtr.h"
#include "TestRegistry.h"
#include "VendorCategories.h"

namespace {

// A filter mapper that records each CreateCategory call and fails it.
class RefusingMapper : public IFilterMapper2
{
public:
    struct Call
    {
        CLSID category;
        DWORD merit;
        std::wstring description;
    };
    std::vector<Call> calls;
    ULONG references = 1;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IFilterMapper2)
        {
            *object = static_cast<IFilterMapper2*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }

    STDMETHODIMP CreateCategory(REFCLSID category, DWORD merit, LPCWSTR description) override
    {
        calls.push_back({category, merit, description ? description : L"(null)"});
        return E_ACCESSDENIED;
    }
    STDMETHODIMP UnregisterFilter(const CLSID*, LPCOLESTR, REFCLSID) override { return E_NOTIMPL; }
    STDMETHODIMP RegisterFilter(REFCLSID, LPCWSTR, IMoniker**, const CLSID*, LPCOLESTR,
                                const REGFILTER2*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP EnumMatchingFilters(IEnumMoniker**, DWORD, BOOL, DWORD, BOOL, DWORD, const GUID*,
                                     const REGPINMEDIUM*, const CLSID*, BOOL, BOOL, DWORD, const GUID*,
                                     const REGPINMEDIUM*, const CLSID*) override
    {
        return E_NOTIMPL;
    }
};

void ExpectVendorEntries(const std::array<NamedClsid, 2>& entries)
{
    EXPECT_EQ("ZARV Video Processors", entries[0].name);
    EXPECT_TRUE(IsEqualCLSID(CLSID_ZarvVideoProcessors, entries[0].clsid));
    EXPECT_EQ("ZARV Audio Processors", entries[1].name);
    EXPECT_TRUE(IsEqualCLSID(CLSID_ZarvAudioProcessors, entries[1].clsid));
}
#define EXPECT_VENDOR_ENTRIES(entries)                                                                       \
    do                                                                                                       \
    {                                                                                                        \
        SCOPED_TRACE("EXPECT_VENDOR_ENTRIES");                                                               \
        ExpectVendorEntries(entries);                                                                        \
    } while (false)

} // namespace

TEST(VendorCategories, AreRegisteredAndListedTheSameEveryTime)
{
    ComPtr<IFilterMapper2> mapper;
    ASSERT_EQ(S_OK,
              ::CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                 IID_IFilterMapper2, mapper.put_void()));
    EXPECT_VENDOR_ENTRIES(CreateVendorCategories(mapper.get()));
    EXPECT_VENDOR_ENTRIES(CreateVendorCategories(mapper.get()));

    // Wine's own walk of the filter categories finds both, under their fixed
    // identifiers, with the descriptions as their names.
    int video = 0, audio = 0;
    for (const CategoryMember& category : ListCategoryMembers(CLSID_ActiveMovieCategories))
    {
        if (category.clsid == L"{E526D606-22E7-494C-B81E-AC0A94BFE603}")
        {
            ++video;
            EXPECT_EQ(L"ZARV Video Processors", category.friendlyName);
        }
        if (category.clsid == L"{5FFE757A-509A-477E-A1F1-68812010A6DD}")
        {
            ++audio;
            EXPECT_EQ(L"ZARV Audio Processors", category.friendlyName);
        }
    }
    EXPECT_EQ(1, video);
    EXPECT_EQ(1, audio);
}

TEST(VendorCategories, AreListedWhateverTheMapperAnswers)
{
    RefusingMapper mapper;
    EXPECT_VENDOR_ENTRIES(CreateVendorCategories(&mapper));

    ASSERT_EQ(2u, mapper.calls.size());
    EXPECT_TRUE(IsEqualCLSID(CLSID_ZarvVideoProcessors, mapper.calls[0].category));
    EXPECT_EQ(L"ZARV Video Processors", mapper.calls[0].description);
    EXPECT_TRUE(IsEqualCLSID(CLSID_ZarvAudioProcessors, mapper.calls[1].category));
    EXPECT_EQ(L"ZARV Audio Processors", mapper.calls[1].description);
    for (const RefusingMapper::Call& call : mapper.calls)
        EXPECT_EQ(0x200000u, call.merit);
    EXPECT_EQ(1u, mapper.references) << "the mapper is borrowed";
}
