#include "TestRegistry.h"

#include <objbase.h>
#include <sddl.h>

#include <cstring>
#include <cwctype>

#include "PropertyNames.h"

GUID NewGuid()
{
    GUID guid{};
    ::CoCreateGuid(&guid);
    return guid;
}

std::wstring GuidTextW(REFGUID guid)
{
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

std::string AsciiText(const std::wstring& ascii)
{
    return std::string(ascii.begin(), ascii.end());
}

std::wstring LowerCase(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(::towlower(c));
    return text;
}

std::string GuidText(REFGUID guid)
{
    return AsciiText(GuidTextW(guid));
}

std::string InstancePath(REFGUID category, REFGUID filter)
{
    return "CLSID\\" + GuidText(category) + "\\Instance\\" + GuidText(filter);
}

std::string ClassPath(REFGUID clsid)
{
    return "CLSID\\" + GuidText(clsid);
}

ScopedClassesKey::~ScopedClassesKey()
{
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, m_path.c_str());
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, m_path.c_str());
}

UniqueRegKey OpenClassesKey(const std::string& path, REGSAM access)
{
    UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS)
        key.reset();
    return key;
}

bool CreateKey(const std::string& path)
{
    UniqueRegKey key;
    return ::RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), key.put()) == ERROR_SUCCESS;
}

bool KeyExists(const std::string& path)
{
    return static_cast<bool>(OpenClassesKey(path));
}

LSTATUS WriteValue(const std::string& path, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    UniqueRegKey key;
    const LSTATUS status = ::RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), key.put());
    if (status != ERROR_SUCCESS)
        return status;
    // Written from between two characters that are not null: given a string
    // type, the call would otherwise count in a null that follows the data.
    std::vector<BYTE> guarded(size + 2 * sizeof(wchar_t), 0xFF);
    if (size)
        std::memcpy(guarded.data() + sizeof(wchar_t), data, size);
    return ::RegSetValueExW(key.get(), name, 0, type, guarded.data() + sizeof(wchar_t), size);
}

LSTATUS WriteString(const std::string& path, const wchar_t* name, const std::wstring& text)
{
    return WriteValue(path, name, REG_SZ, text.c_str(),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LSTATUS WriteEntry(const std::string& path, const std::wstring& clsid, const std::wstring& name)
{
    const LSTATUS status = WriteString(path, kClsidProperty, clsid);
    return status != ERROR_SUCCESS ? status : WriteString(path, kFriendlyNameProperty, name);
}

namespace {

// A value's size, then its bytes, through the wide or the 8-bit query.
template <typename Char>
bool QueryValue(const std::string& path, const Char* name, RegValue& out,
                LSTATUS(APIENTRY* query)(HKEY, const Char*, LPDWORD, LPDWORD, LPBYTE, LPDWORD))
{
    const UniqueRegKey key = OpenClassesKey(path);
    if (!key)
        return false;
    DWORD size = 0;
    LSTATUS status = query(key.get(), name, nullptr, &out.type, nullptr, &size);
    if (status == ERROR_SUCCESS)
    {
        out.data.resize(size);
        status = query(key.get(), name, nullptr, &out.type, out.data.data(), &size);
        out.data.resize(size);
    }
    return status == ERROR_SUCCESS;
}

} // namespace

bool ReadValue(const std::string& path, const wchar_t* name, RegValue& out)
{
    return QueryValue(path, name, out, &::RegQueryValueExW);
}

bool ReadValueA(const std::string& path, const char* name, RegValue& out)
{
    return QueryValue(path, name, out, &::RegQueryValueExA);
}

std::vector<std::pair<std::wstring, RegValue>> ReadAllValues(const std::string& path)
{
    std::vector<std::pair<std::wstring, RegValue>> values;
    const UniqueRegKey key = OpenClassesKey(path);
    for (DWORD index = 0; key; ++index)
    {
        wchar_t name[16384];
        DWORD nameLength = ARRAYSIZE(name);
        if (::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        values.emplace_back(std::wstring(name, nameLength), RegValue());
        ReadValue(path, name, values.back().second);
    }
    return values;
}

int OpenKeyCount()
{
    // Handle values are multiples of 4 from 4 up, the lowest free one taken
    // first; the registry tells a key handle from any other.
    constexpr ULONG_PTR kHandleValues = 16384;
    int keys = 0;
    for (ULONG_PTR value = 4; value < kHandleValues; value += 4)
    {
        const HKEY candidate = reinterpret_cast<HKEY>(value);
        if (::RegQueryInfoKeyW(candidate, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            ++keys;
    }
    return keys;
}

LSTATUS CreateVolatileClassesKey(const std::string& path)
{
    const size_t last = path.rfind('\\');
    const std::string parentPath = last == std::string::npos ? std::string() : path.substr(0, last);
    UniqueRegKey parent;
    LSTATUS status = ::RegCreateKeyA(HKEY_CLASSES_ROOT, parentPath.c_str(), parent.put());
    UniqueRegKey key;
    if (status == ERROR_SUCCESS)
        status = ::RegCreateKeyExA(parent.get(), path.substr(last + 1).c_str(), 0, nullptr,
                                   REG_OPTION_VOLATILE, KEY_WRITE, nullptr, key.put(), nullptr);
    return status;
}

bool ScopedKeyAccess::SetAccess(const char* sddl) const
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    const bool set = ::RegSetKeySecurity(m_key.get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    ::LocalFree(descriptor);
    return set;
}
