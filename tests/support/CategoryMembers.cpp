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

void PrintTo(const NamedClsid& entry, std::ostream* out)
{
    *out << '"' << entry.name << "\" " << GuidText(entry.clsid);
}

ComPtr<ICreateDevEnum> DeviceEnumerator()
{
    ComPtr<ICreateDevEnum> devEnum;
    EXPECT_EQ(S_OK, ::CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_ICreateDevEnum, devEnum.put_void()));
    return devEnum;
}

ComPtr<IFilterMapper2> FilterMapper()
{
    ComPtr<IFilterMapper2> mapper;
    EXPECT_EQ(S_OK,
              ::CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                 IID_IFilterMapper2, mapper.put_void()));
    return mapper;
}

ComPtr<IEnumMoniker> ClassEnumerator(REFCLSID category, HRESULT* status)
{
    ComPtr<IEnumMoniker> enumerator;
    const ComPtr<ICreateDevEnum> devEnum = DeviceEnumerator();
    const HRESULT hr =
        devEnum ? devEnum->CreateClassEnumerator(category, enumerator.put(), 0) : E_NOINTERFACE;
    if (status)
        *status = hr;
    return enumerator;
}

Entries ListCategoryMembers(REFCLSID category, HRESULT* status)
{
    Entries members;
    const ComPtr<IEnumMoniker> enumerator = ClassEnumerator(category, status);
    for (ComPtr<IMoniker> moniker; enumerator && enumerator->Next(1, moniker.put(), nullptr) == S_OK;)
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

Entries AllCategories()
{
    Entries entries;
    EnumerateFilterCategories([&](const NamedClsid& entry) { entries.push_back(entry); });
    return entries;
}

Entries FiltersOf(REFCLSID category)
{
    Entries entries;
    HRESULT status = E_FAIL;
    const ComPtr<IEnumMoniker> enumerator = ClassEnumerator(category, &status);
    if (FAILED(status))
        ADD_FAILURE() << "no moniker enumerator for " << GuidText(category);
    EnumerateCategoryFilters(enumerator.get(), [&](const NamedClsid& entry) { entries.push_back(entry); });
    return entries;
}

Names ListedNames(const Entries& entries, REFCLSID clsid)
{
    Names names;
    for (const NamedClsid& entry : entries)
        if (entry.clsid == clsid)
            names.push_back(entry.name);
    return names;
}
