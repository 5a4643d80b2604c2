// The two vendor categories: their registration with the filter mapper and
// the entries that list them.
#include <gtest/gtest.h>

#include <dshow.h>

#include <array>
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
const std::array<NamedClsid, 2> kVendorEntries = {{
    {"ZARV Video Processors", CLSID_ZarvVideoProcessors},
    {"ZARV Audio Processors", CLSID_ZarvAudioProcessors},
}};

} // namespace

TEST(VendorCategories, AreRegisteredAndListedTheSameEveryTime)
{
    const ComPtr<IFilterMapper2> mapper = FilterMapper();
    ASSERT_TRUE(mapper);
    EXPECT_EQ(kVendorEntries, CreateVendorCategories(mapper.get()));
    EXPECT_EQ(kVendorEntries, CreateVendorCategories(mapper.get()));

    // Wine's own walk of the filter categories finds both, under their fixed
    // identifiers, with the descriptions as their names.
    const Entries categories = ListCategoryMembers(CLSID_ActiveMovieCategories);
    EXPECT_EQ("{E526D606-22E7-494C-B81E-AC0A94BFE603}", GuidText(CLSID_ZarvVideoProcessors));
    EXPECT_EQ(Names{"ZARV Video Processors"}, ListedNames(categories, CLSID_ZarvVideoProcessors));
    EXPECT_EQ("{5FFE757A-509A-477E-A1F1-68812010A6DD}", GuidText(CLSID_ZarvAudioProcessors));
    EXPECT_EQ(Names{"ZARV Audio Processors"}, ListedNames(categories, CLSID_ZarvAudioProcessors));
}

TEST(VendorCategories, AreListedWhateverTheMapperAnswers)
{
    RefusingMapper mapper;
    EXPECT_EQ(kVendorEntries, CreateVendorCategories(&mapper));

    EXPECT_EQ(
        (std::vector<RefusingMapper::Call>{{CLSID_ZarvVideoProcessors, 0x200000u, L"ZARV Video Processors"},
                                           {CLSID_ZarvAudioProcessors, 0x200000u, L"ZARV Audio Processors"}}),
        mapper.calls);
    EXPECT_TRUE(mapper.balanced()) << "the mapper is borrowed";
}
