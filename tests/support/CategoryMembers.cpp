#include "CategoryMembers.h"

#include <gtest/gtest.h>

#include <dshow.h>

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

std::vector<CategoryMember> ListCategoryMembers(REFCLSID category, HRESULT* status)
{
    std::vector<CategoryMember> members;
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
        CategoryMember member;
        if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.put_void())))
        {
            member.clsid = ReadProperty(bag.get(), kClsidProperty);
            member.friendlyName = ReadProperty(bag.get(), kFriendlyNameProperty);
        }
        members.push_back(member);
    }
    return members;
}
