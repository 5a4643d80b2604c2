#include "BareWalk.h"

#include <dshow.h>

#include "ComPtr.h"
#include "UniqueHandle.h"

namespace {

// A string property, or null when it cannot be read as a string.
UniqueBstr ReadString(IPropertyBag* bag, const wchar_t* name)
{
    VARIANT value;
    ::VariantInit(&value);
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = nullptr;
    if (FAILED(bag->Read(name, &value, nullptr)) || V_VT(&value) != VT_BSTR)
    {
        // Not read, or something other than the string asked for: the program's walk
        // skips it too.
        ::VariantClear(&value);
        return UniqueBstr();
    }
    return UniqueBstr(V_BSTR(&value));
}

int WalkFilters(IEnumMoniker* enumerator, BareWalkVisitor* visitor, void* parent)
{
    int count = 0;
    for (ComPtr<IMoniker> moniker; enumerator->Next(1, moniker.put(), nullptr) == S_OK;)
    {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.put_void())))
            continue;
        UniqueBstr name = ReadString(bag.get(), L"FriendlyName");
        if (!name)
            continue;
        UniqueBstr clsidText = ReadString(bag.get(), L"CLSID");
        CLSID clsid;
        if (!clsidText || ::CLSIDFromString(clsidText.get(), &clsid) != S_OK)
            continue;
        if (visitor)
            visitor->Filter(parent, name.get(), clsid);
        ++count;
    }
    return count;
}

} // namespace

int BareWalkCategory(ICreateDevEnum* devEnum, REFCLSID category, BareWalkVisitor* visitor, void* parent)
{
    ComPtr<IEnumMoniker> enumerator;
    if (devEnum->CreateClassEnumerator(category, enumerator.put(), 0) != S_OK || !enumerator)
        return 0;
    return WalkFilters(enumerator.get(), visitor, parent);
}

WalkCount BareWalkAllCategories(ICreateDevEnum* filterDevEnum, BareWalkVisitor* visitor)
{
    WalkCount count;
    ComPtr<ICreateDevEnum> devEnum;
    if (FAILED(::CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                  devEnum.put_void())))
        return count;
    ComPtr<IEnumMoniker> categories;
    if (devEnum->CreateClassEnumerator(CLSID_ActiveMovieCategories, categories.put(), 0) != S_OK)
        return count;
    for (ComPtr<IMoniker> moniker; categories->Next(1, moniker.put(), nullptr) == S_OK;)
    {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.put_void())))
            continue;
        UniqueBstr clsidText = ReadString(bag.get(), L"CLSID");
        CLSID clsid;
        if (!clsidText || ::CLSIDFromString(clsidText.get(), &clsid) != S_OK)
            continue;
        UniqueBstr name = ReadString(bag.get(), L"FriendlyName");
        void* parent = visitor ? visitor->Category(name ? name.get() : clsidText.get(), clsid) : nullptr;
        ++count.categories;
        count.filters += BareWalkCategory(filterDevEnum, clsid, visitor, parent);
    }
    return count;
}
