#include "CategoryMembers.h"

#include <gtest/gtest.h>

#include <dshow.h>

#include "FilterEnumeration.h"
#include "PropertyNames.h"
#include "UniqueHandle.h"

namespace {

std::wstring ReadProperty(IPropertyBag* bag, const wchar_t* name)
{
    UniqueVariant value;
    if (FAILED(bag->Read(name, value.put(VT_BSTR), nullptr)) || !value.bstr())
        return std::wstring();
    return std::wstring(value.bstr(), ::SysStringLen(value.bstr()));
}

} // namespace

ComPtr<ICreateDevEnum> DeviceEnumerator()
{
    ComPtr<ICreateDevEnum> devEnum;
    EXPECT_EQ(S_OK, ::CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_ICreateDevEnum, devEnum.put_void()));
    return devEnum;
}

std::vector<NamedClsid> ListCategoryMembers(REFCLSID category, HRESULT* status)
{
    std::vector<NamedClsid> members;
    const ComPtr<ICreateDevEnum> devEnum = DeviceEnumerator();
    if (!devEnum)
        return members;

    ComPtr<IEnumMoniker> enumerator;
    const HRESULT hr = devEnum->CreateClassEnumerator(category, enumerator.put(), 0);
    if (status)
        *status = hr;
    if (hr != S_OK || !enumerator)
        return members;

    for (ComPtr<IMoniker> moniker; enumerator->Next(1, moniker.put(), nullptr) == S_OK;)
    {
        ComPtr<IPropertyBag> bag;
        NamedClsid member = {"", GUID_NULL};
        if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.put_void())))
        {
            CLSID clsid = GUID_NULL;
            if (::CLSIDFromString(ReadProperty(bag.get(), kClsidProperty).c_str(), &clsid) == S_OK)
                member.clsid = clsid;
            member.name = AsciiText(ReadProperty(bag.get(), kFriendlyNameProperty));
        }
        members.push_back(member);
    }
    return members;
}

std::vector<NamedClsid> AllCategories()
{
    std::vector<NamedClsid> entries;
    EnumerateFilterCategories([&](const NamedClsid& entry) { entries.push_back(entry); });
    return entries;
}

std::vector<NamedClsid> FiltersOf(REFCLSID category)
{
    std::vector<NamedClsid> entries;
    ComPtr<ICreateDevEnum> devEnum = DeviceEnumerator();
    if (!devEnum)
        return entries;
    ComPtr<IEnumMoniker> enumerator;
    if (FAILED(devEnum->CreateClassEnumerator(category, enumerator.put(), 0)))
    {
        ADD_FAILURE() << "no moniker enumerator for " << GuidText(category);
        return entries;
    }
    EnumerateCategoryFilters(enumerator.get(), [&](const NamedClsid& entry) { entries.push_back(entry); });
    return entries;
}

Names ListedNames(const std::vector<NamedClsid>& entries, REFCLSID clsid)
{
    Names names;
    for (const NamedClsid& entry : entries)
        if (entry.clsid == clsid)
            names.push_back(entry.name);
    return names;
}
