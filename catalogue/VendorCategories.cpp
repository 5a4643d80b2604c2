#include "VendorCategories.h"

// {E526D606-22E7-494C-B81E-AC0A94BFE603}
const CLSID CLSID_ZarvVideoProcessors = {
    0xE526D606, 0x22E7, 0x494C, {0xB8, 0x1E, 0xAC, 0x0A, 0x94, 0xBF, 0xE6, 0x03}};
// {5FFE757A-509A-477E-A1F1-68812010A6DD}
const CLSID CLSID_ZarvAudioProcessors = {
    0x5FFE757A, 0x509A, 0x477E, {0xA1, 0xF1, 0x68, 0x81, 0x20, 0x10, 0xA6, 0xDD}};

namespace {

struct VendorCategory
{
    const CLSID& clsid;
    const wchar_t* description;
};

// The order in which the categories are registered and listed: video first.
const VendorCategory kVendorCategories[] = {
    {CLSID_ZarvVideoProcessors, kZarvVideoProcessorsDescription},
    {CLSID_ZarvAudioProcessors, kZarvAudioProcessorsDescription},
};

// The description as 8-bit text in the thread's ANSI code page.
std::string DisplayName(const wchar_t* description)
{
    const int size = ::WideCharToMultiByte(CP_THREAD_ACP, 0, description, -1, nullptr, 0,
                                           nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string name(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, description, -1, name.data(), size, nullptr, nullptr);
    name.resize(static_cast<size_t>(size) - 1); // without the terminating zero
    return name;
}

} // namespace

std::array<NamedClsid, 2> CreateVendorCategories(IFilterMapper2* mapper)
{
    std::array<NamedClsid, 2> entries;
    static_assert(ARRAYSIZE(kVendorCategories) == std::tuple_size_v<decltype(entries)>);
    for (size_t i = 0; i < entries.size(); ++i)
    {
        const VendorCategory& category = kVendorCategories[i];
        // Registering again is harmless; whatever the mapper answers, the
        // category is listed.
        mapper->CreateCategory(category.clsid, kVendorCategoryMerit, category.description);
        entries[i] = NamedClsid{DisplayName(category.description), category.clsid};
    }
    return entries;
}
