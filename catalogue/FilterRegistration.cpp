#include "FilterRegistration.h"

#include <cstring>
#include <memory>
#include <new>

#include "ClsidText.h"
#include "KeyPaths.h"
#include "PlatformCalls.h"
#include "PropertyNames.h"
#include "UniqueHandle.h"

namespace {

// A value of any type; see ReadValue.
constexpr DWORD kAnyType = REG_NONE;

// Given a string type, RegSetValueExW counts in a null that the count leaves
// out whenever the character after the data is null, and for a count under one
// character it looks at the character before the data: the platform's
// allowance for callers that forget the terminator. So the bytes read lie
// between two characters that are not null, and a write copies exactly the
// count given without reading outside the block.
constexpr size_t kGuardSize = sizeof(WCHAR);
constexpr BYTE kGuardByte = 0xFF;

// One registry value as read: its type and its bytes, between the guards.
struct RegistryValue
{
    DWORD type = 0;
    DWORD size = 0;
    std::unique_ptr<BYTE[]> block;

    BYTE* data() const noexcept { return block.get() + kGuardSize; }
};

// Reads one value, type and bytes exactly; a null name is the key's default
// value. A value whose type is not `requiredType` (unless that is kAnyType)
// fails with ERROR_INVALID_DATATYPE.
LSTATUS ReadValue(HKEY source, LPCWSTR name, DWORD requiredType, RegistryValue& value) noexcept
{
    LSTATUS status = Platform().regQueryValueEx(source, name, nullptr, &value.type, nullptr, &value.size);
    if (status != ERROR_SUCCESS)
        return status;

    // Sized from the query: there is no upper bound on a value's size.
    value.block.reset(new (std::nothrow) BYTE[kGuardSize + value.size + kGuardSize]);
    if (!value.block)
        return ERROR_NOT_ENOUGH_MEMORY;

    // A value that grew since the first query fails here with ERROR_MORE_DATA
    // rather than being cut short; one that shrank is read at its new size.
    // The room given is the data's alone: with more, the query would end an
    // unterminated string with a null of its own.
    status = Platform().regQueryValueEx(source, name, nullptr, &value.type, value.data(), &value.size);
    if (status != ERROR_SUCCESS)
        return status;
    std::memset(value.block.get(), kGuardByte, kGuardSize);
    std::memset(value.data() + value.size, kGuardByte, kGuardSize);
    return requiredType == kAnyType || value.type == requiredType ? ERROR_SUCCESS : ERROR_INVALID_DATATYPE;
}

LSTATUS WriteValue(HKEY destination, LPCWSTR name, const RegistryValue& value) noexcept
{
    return ::RegSetValueExW(destination, name, 0, value.type, value.data(), value.size);
}

// Value names are enumerated into one buffer; a name must fit with its
// terminating zero, so names of up to kValueNameCapacity - 1 characters copy.
constexpr DWORD kValueNameBufferLength = 1024;
constexpr DWORD kValueNameCapacity = 1023;

// Opens, or creates along with every missing key above it, the filter's
// Instance key in the target category.
LONG CreateTargetKey(REFCLSID targetCategory, const ClsidText& filter, UniqueRegKey& target) noexcept
{
    ClsidText category;
    const HRESULT hr = ClsidToText(targetCategory, category);
    if (FAILED(hr))
        return hr;
    return ::RegCreateKeyA(HKEY_CLASSES_ROOT, InstanceKeyPath(category, filter).text, target.put());
}

// Copy branch: every value of the filter's Instance key in the source category
// goes to its Instance key in the target category.
LONG CopyRegistration(HKEY source, const ClsidText& filter, REFCLSID targetCategory) noexcept
{
    UniqueRegKey target;
    const LONG status = CreateTargetKey(targetCategory, filter, target);
    if (status != ERROR_SUCCESS)
        return status;
    return CopyRegistryValues(target.get(), source);
}

// Fallback branch: "CLSID" from the filter's CLSID text and "FriendlyName" from
// the default value of its class key. That value must be a string: the platform
// reads "FriendlyName" as the filter's name, and a registration whose name it
// cannot read is never listed, so could never be removed again. So the name is
// read first, and without it nothing is written.
LONG WriteMinimalRegistration(const ClsidText& filter, REFCLSID targetCategory) noexcept
{
    UniqueRegKey classKey;
    LONG status = ::RegOpenKeyExA(HKEY_CLASSES_ROOT, ClassKeyPath(filter).text, 0, KEY_READ, classKey.put());
    if (status != ERROR_SUCCESS)
        return status;
    RegistryValue className;
    status = ReadValue(classKey.get(), nullptr, REG_SZ, className);
    if (status != ERROR_SUCCESS)
        return status;

    UniqueRegKey target;
    status = CreateTargetKey(targetCategory, filter, target);
    if (status != ERROR_SUCCESS)
        return status;

    status = ::RegSetValueExA(target.get(), kClsidPropertyA, 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(filter.text), sizeof filter.text);
    if (status != ERROR_SUCCESS)
        return status;
    return WriteValue(target.get(), kFriendlyNameProperty, className);
}

// Puts a category's and a filter's CLSIDs into text, the category's first.
// Returns S_OK, or the status of the conversion that failed.
HRESULT ToClsidTexts(REFCLSID category, ClsidText& categoryText, REFCLSID filter,
                     ClsidText& filterText) noexcept
{
    const HRESULT hr = ClsidToText(category, categoryText);
    return FAILED(hr) ? hr : ClsidToText(filter, filterText);
}

} // namespace

LONG AddFilterToCategory(REFCLSID sourceCategory, REFCLSID filter, REFCLSID targetCategory) noexcept
{
    ClsidText category;
    ClsidText filterText;
    const HRESULT hr = ToClsidTexts(sourceCategory, category, filter, filterText);
    if (FAILED(hr))
        return hr;

    // The source registration is only read. Whatever keeps it from being opened
    // sends the add to the class key instead, and is not reported.
    UniqueRegKey source;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, InstanceKeyPath(category, filterText).text, 0, KEY_READ,
                        source.put()) == ERROR_SUCCESS)
        return CopyRegistration(source.get(), filterText, targetCategory);
    return WriteMinimalRegistration(filterText, targetCategory);
}

LONG RemoveFilterFromCategory(REFCLSID targetCategory, REFCLSID filter) noexcept
{
    ClsidText category;
    ClsidText filterText;
    const HRESULT hr = ToClsidTexts(targetCategory, category, filter, filterText);
    if (FAILED(hr))
        return hr;
    return ::RegDeleteKeyA(HKEY_CLASSES_ROOT, InstanceKeyPath(category, filterText).text);
}

LSTATUS CopyRegistryValue(HKEY destination, LPCWSTR destinationName, HKEY source, LPCWSTR sourceName) noexcept
{
    RegistryValue value;
    const LSTATUS status = ReadValue(source, sourceName, kAnyType, value);
    return status != ERROR_SUCCESS ? status : WriteValue(destination, destinationName, value);
}

LSTATUS CopyRegistryValues(HKEY destination, HKEY source) noexcept
{
    wchar_t name[kValueNameBufferLength];
    for (DWORD index = 0;; ++index)
    {
        DWORD nameLength = kValueNameCapacity; // the call overwrites it with the length returned
        LSTATUS status =
            ::RegEnumValueW(source, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        if (status != ERROR_SUCCESS)
            return status;
        status = CopyRegistryValue(destination, name, source, name);
        if (status != ERROR_SUCCESS)
            return status;
    }
}
