#include "SyntheticCatalogue.h"

#include <objbase.h>
#include <uuids.h>

#include <cstdio>

#include "UniqueHandle.h"

namespace {

const REGSAM kWriteAccess = KEY_ALL_ACCESS;

LSTATUS CreateKey(HKEY parent, const std::wstring& path, DWORD options, UniqueRegKey& key)
{
    return ::RegCreateKeyExW(parent, path.c_str(), 0, nullptr, options, kWriteAccess, nullptr, key.put(),
                             nullptr);
}

LSTATUS SetString(HKEY key, const wchar_t* name, const std::wstring& text)
{
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// An Instance key with the two values every walk reads, and optionally the
// binary "FilterData" that real filter registrations carry.
LSTATUS WriteInstance(HKEY instanceKey, REFCLSID clsid, const std::wstring& name,
                      const std::vector<BYTE>* filterData)
{
    const std::wstring text = ClsidTextW(clsid);
    UniqueRegKey key;
    LSTATUS status = CreateKey(instanceKey, text, REG_OPTION_VOLATILE, key);
    if (status == ERROR_SUCCESS)
        status = SetString(key.get(), L"CLSID", text);
    if (status == ERROR_SUCCESS)
        status = SetString(key.get(), L"FriendlyName", name);
    if (status == ERROR_SUCCESS && filterData)
        status = ::RegSetValueExW(key.get(), L"FilterData", 0, REG_BINARY, filterData->data(),
                                  static_cast<DWORD>(filterData->size()));
    return status;
}

std::vector<BYTE> SampleFilterData()
{
    std::vector<BYTE> data(SyntheticCatalogue::kFilterDataBytes);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<BYTE>(i * 7 + 3);
    return data;
}

std::wstring Numbered(const wchar_t* format, int number)
{
    wchar_t text[64];
    std::swprintf(text, 64, format, number);
    return text;
}

LSTATUS FillInstanceKey(REFCLSID category, int count, int firstNumber, const std::vector<BYTE>& filterData)
{
    UniqueRegKey instance;
    LSTATUS status =
        CreateKey(HKEY_CLASSES_ROOT, L"CLSID\\" + ClsidTextW(category) + L"\\Instance", 0, instance);
    for (int i = 0; status == ERROR_SUCCESS && i < count; ++i)
        status = WriteInstance(instance.get(), NewClsid(),
                               Numbered(L"Synthetic filter %06d", firstNumber + i), &filterData);
    return status;
}

} // namespace

std::wstring ClsidTextW(REFCLSID clsid)
{
    wchar_t text[40] = {};
    ::StringFromGUID2(clsid, text, 40);
    return text;
}

CLSID NewClsid()
{
    CLSID clsid{};
    ::CoCreateGuid(&clsid);
    return clsid;
}

LSTATUS SyntheticCatalogue::GrowTo(int categories, int filtersPerCategory)
{
    const std::vector<BYTE> filterData = SampleFilterData();
    UniqueRegKey listing;
    LSTATUS status = CreateKey(
        HKEY_CLASSES_ROOT, L"CLSID\\" + ClsidTextW(CLSID_ActiveMovieCategories) + L"\\Instance", 0, listing);
    while (status == ERROR_SUCCESS && CategoryCount() < categories)
    {
        const CLSID category = NewClsid();
        const int number = CategoryCount();
        status =
            WriteInstance(listing.get(), category, Numbered(L"Synthetic category %04d", number), nullptr);
        if (status == ERROR_SUCCESS)
            status = FillInstanceKey(category, filtersPerCategory, m_filterCount, filterData);
        if (status == ERROR_SUCCESS)
        {
            m_categories.push_back(category);
            m_filterCount += filtersPerCategory;
        }
    }
    return status;
}

LSTATUS SyntheticCatalogue::FillCategory(REFCLSID category, int count, int firstNumber)
{
    return FillInstanceKey(category, count, firstNumber, SampleFilterData());
}

void SyntheticCatalogue::EmptyCategory(REFCLSID category)
{
    const std::wstring path = L"CLSID\\" + ClsidTextW(category) + L"\\Instance";
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
}
