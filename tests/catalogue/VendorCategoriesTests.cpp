// The two vendor categories: their registration with the filter mapper and
// the entries that list them.
#include <gtest/gtest.h>

#include <dshow.h>

#include <string>
#include <tuple>
#include <vector>

#include "CategoryMembers.h"
#include "ComPtr.h"
#include "StandIns.h"
#include "TestRegistry.h"
#include "VendorCategories.h"

namespace {

// A filter mapper that records each CreateCategory call and fails it.
class RefusingMapper : public FakeComObject<IFilterMapper2>
{
public:
    using Call = std::tuple<CLSID, DWORD, std::wstring>; // category, merit, description
    std::vector<Call> calls;

    RefusingMapper() : FakeComObject(IID_IFilterMapper2) {}

    STDMETHODIMP CreateCategory(REFCLSID category, DWORD merit, LPCWSTR description) override
    {
        calls.emplace_back(category, merit, description ? description : L"(null)");
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

// The entries of the vendor categories, video first.
::testing::AssertionResult AreTheVendorEntries(const std::array<NamedClsid, 2>& entries)
{
    if (entries[0].name == "ZARV Video Processors" && entries[0].clsid == CLSID_ZarvVideoProcessors &&
        entries[1].name == "ZARV Audio Processors" && entries[1].clsid == CLSID_ZarvAudioProcessors)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "entries \"" << entries[0].name << "\" " << GuidText(entries[0].clsid) << " and \""
           << entries[1].name << "\" " << GuidText(entries[1].clsid);
}

} // namespace

TEST(VendorCategories, AreRegisteredAndListedTheSameEveryTime)
{
    ComPtr<IFilterMapper2> mapper;
    ASSERT_EQ(S_OK,
              ::CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                 IID_IFilterMapper2, mapper.put_void()));
    EXPECT_TRUE(AreTheVendorEntries(CreateVendorCategories(mapper.get())));
    EXPECT_TRUE(AreTheVendorEntries(CreateVendorCategories(mapper.get())));

    // Wine's own walk of the filter categories finds both, under their fixed
    // identifiers, with the descriptions as their names.
    const std::vector<NamedClsid> categories = ListCategoryMembers(CLSID_ActiveMovieCategories);
    EXPECT_EQ("{E526D606-22E7-494C-B81E-AC0A94BFE603}", GuidText(CLSID_ZarvVideoProcessors));
    EXPECT_EQ(Names{"ZARV Video Processors"}, ListedNames(categories, CLSID_ZarvVideoProcessors));
    EXPECT_EQ("{5FFE757A-509A-477E-A1F1-68812010A6DD}", GuidText(CLSID_ZarvAudioProcessors));
    EXPECT_EQ(Names{"ZARV Audio Processors"}, ListedNames(categories, CLSID_ZarvAudioProcessors));
}

TEST(VendorCategories, AreListedWhateverTheMapperAnswers)
{
    RefusingMapper mapper;
    EXPECT_TRUE(AreTheVendorEntries(CreateVendorCategories(&mapper)));

    EXPECT_EQ(
        (std::vector<RefusingMapper::Call>{{CLSID_ZarvVideoProcessors, 0x200000u, L"ZARV Video Processors"},
                                           {CLSID_ZarvAudioProcessors, 0x200000u, L"ZARV Audio Processors"}}),
        mapper.calls);
    EXPECT_TRUE(mapper.balanced()) << "the mapper is borrowed";
}
