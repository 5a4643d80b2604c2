#include "LargeRegistration.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "SyntheticCatalogue.h"
#include "UniqueHandle.h"

namespace {

const DWORD kNameCapacity = 1024;

std::wstring InstancePathW(REFCLSID category, REFCLSID filter)
{
    return L"CLSID\\" + ClsidTextW(category) + L"\\Instance\\" + ClsidTextW(filter);
}

LSTATUS CreateVolatileKey(const std::wstring& path, UniqueRegKey& key)
{
    const size_t last = path.rfind(L'\\');
    UniqueRegKey parent;
    LSTATUS status = ::RegCreateKeyExW(HKEY_CLASSES_ROOT, path.substr(0, last).c_str(), 0, nullptr, 0,
                                       KEY_ALL_ACCESS, nullptr, parent.put(), nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    return ::RegCreateKeyExW(parent.get(), path.substr(last + 1).c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
}

LSTATUS SetValue(HKEY key, const wchar_t* name, DWORD type, const void* data, size_t bytes)
{
    return ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(bytes));
}

struct StoredValue
{
    std::wstring name;
    DWORD type = 0;
    std::vector<BYTE> data;

    bool operator==(const StoredValue& other) const
    {
        return name == other.name && type == other.type && data == other.data;
    }
};

// Every value of the key, sorted by name.
std::vector<StoredValue> ReadAll(const std::wstring& path)
{
    std::vector<StoredValue> values;
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index)
    {
        wchar_t name[kNameCapacity];
        DWORD length = kNameCapacity - 1;
        if (::RegEnumValueW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        StoredValue value;
        value.name = name;
        DWORD size = 0;
        ::RegQueryValueExW(key.get(), name, nullptr, &value.type, nullptr, &size);
        value.data.resize(size);
        ::RegQueryValueExW(key.get(), name, nullptr, &value.type, value.data.data(), &size);
        values.push_back(std::move(value));
    }
    std::sort(values.begin(), values.end(),
              [](const StoredValue& a, const StoredValue& b) { return a.name < b.name; });
    return values;
}

} // namespace

std::wstring LargeRegistration::SourcePath() const
{
    return InstancePathW(sourceCategory, filter);
}

std::wstring LargeRegistration::TargetPath() const
{
    return InstancePathW(targetCategory, filter);
}

LSTATUS LargeRegistration::Create()
{
    sourceCategory = NewClsid();
    filter = NewClsid();
    targetCategory = NewClsid();
    UniqueRegKey key;
    LSTATUS status = CreateVolatileKey(SourcePath(), key);
    if (status != ERROR_SUCCESS)
        return status;
    const std::wstring clsid = ClsidTextW(filter);
    status = SetValue(key.get(), L"CLSID", REG_SZ, clsid.c_str(), (clsid.size() + 1) * 2);
    const wchar_t friendlyName[] = L"Synthetic filter with a large registration";
    if (status == ERROR_SUCCESS)
        status = SetValue(key.get(), L"FriendlyName", REG_SZ, friendlyName, sizeof friendlyName);
    std::unique_ptr<BYTE[]> large(new (std::nothrow) BYTE[kLargeValueBytes]);
    if (!large)
        return ERROR_NOT_ENOUGH_MEMORY;
    for (DWORD i = 0; i < kLargeValueBytes; ++i)
        large[i] = static_cast<BYTE>(i * 13 + (i >> 12));
    if (status == ERROR_SUCCESS)
        status = SetValue(key.get(), L"FilterData", REG_BINARY, large.get(), kLargeValueBytes);
    for (int i = 2; status == ERROR_SUCCESS && i < kSmallValues; ++i)
    {
        wchar_t name[32];
        std::swprintf(name, 32, L"Property %03d", i);
        if (i % 2)
        {
            const DWORD number = static_cast<DWORD>(i * 1000);
            status = SetValue(key.get(), name, REG_DWORD, &number, sizeof number);
        }
        else
        {
            wchar_t text[64];
            std::swprintf(text, 64, L"value of property %03d", i);
            status = SetValue(key.get(), name, REG_SZ, text, (std::wcslen(text) + 1) * 2);
        }
    }
    return status;
}

LSTATUS LargeRegistration::ResetTarget() const
{
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, TargetPath().c_str());
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, TargetPath().c_str());
    UniqueRegKey key;
    return CreateVolatileKey(TargetPath(), key);
}

void LargeRegistration::Delete() const
{
    for (const CLSID* category : {&sourceCategory, &targetCategory})
    {
        const std::wstring path = L"CLSID\\" + ClsidTextW(*category);
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
        ::RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
    }
}

bool LargeRegistration::TargetMatchesSource() const
{
    const std::vector<StoredValue> source = ReadAll(SourcePath());
    return !source.empty() && source == ReadAll(TargetPath());
}

LSTATUS BareCopy(const LargeRegistration& registration)
{
    UniqueRegKey source;
    LSTATUS status = ::RegOpenKeyExW(HKEY_CLASSES_ROOT, registration.SourcePath().c_str(), 0, KEY_ALL_ACCESS,
                                     source.put());
    if (status != ERROR_SUCCESS)
        return status;
    UniqueRegKey target;
    status = ::RegCreateKeyW(HKEY_CLASSES_ROOT, registration.TargetPath().c_str(), target.put());
    for (DWORD index = 0; status == ERROR_SUCCESS; ++index)
    {
        wchar_t name[kNameCapacity];
        DWORD length = kNameCapacity - 1;
        status = ::RegEnumValueW(source.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        DWORD type = 0;
        DWORD size = 0;
        if (status == ERROR_SUCCESS)
            status = ::RegQueryValueExW(source.get(), name, nullptr, &type, nullptr, &size);
        std::unique_ptr<BYTE[]> data(new (std::nothrow) BYTE[size ? size : 1]);
        if (status == ERROR_SUCCESS && !data)
            status = ERROR_NOT_ENOUGH_MEMORY;
        if (status == ERROR_SUCCESS)
            status = ::RegQueryValueExW(source.get(), name, nullptr, &type, data.get(), &size);
        if (status == ERROR_SUCCESS)
            status = ::RegSetValueExW(target.get(), name, 0, type, data.get(), size);
    }
    return status;
}
