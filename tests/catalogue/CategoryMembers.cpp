#include "CategoryMembers.h"

#include <gtest/gtest.h>

#include <dshow.h>

#include "ComPtr.h"
#include "UniqueHandle.h"

namespace {

std::wstring ReadProperty(IPropertyBag* bag, const wchar_t* name)
{
    VARIANT value;
    ::VariantInit(&value);
    value.vt = VT_BSTR;
    std::wstring text;
    if (SUCCEEDED(bag->Read(name, &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal)
        text.assign(value.bstrVal, ::SysStringLen(value.bstrVal));
    ::VariantClear(&value);
    return text;
}

} // namespace

std::vector<CategoryMember> ListCategoryMembers(REFCLSID category, HRESULT* status)
{
    std::vector<CategoryMember> members;
    ComPtr<ICreateDevEnum> devEnum;
    const HRESULT created = ::CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_ICreateDevEnum, devEnum.put_void());
    EXPECT_EQ(S_OK, created);
    if (FAILED(created))
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
            member.clsid = ReadProperty(bag.get(), L"CLSID");
            member.friendlyName = ReadProperty(bag.get(), L"FriendlyName");
        }
        members.push_back(member);
    }
    return members;
}
