#include "TestRegistry.h"

#include <objbase.h>

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

std::string GuidText(REFGUID guid)
{
    const std::wstring wide = GuidTextW(guid);
    return std::string(wide.begin(), wide.end()); // the text is plain ASCII
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

LSTATUS WriteValue(const std::string& path, const wchar_t* name, DWORD type, const void* data,
                   DWORD size)
{
    HKEY key = nullptr;
    LSTATUS status = ::RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key);
    if (status != ERROR_SUCCESS)
        return status;
    status = ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
    return status;
}

LSTATUS WriteString(const std::string& path, const wchar_t* name, const std::wstring& text)
{
    return WriteValue(path, name, REG_SZ, text.c_str(),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool ReadValue(const std::string& path, const wchar_t* name, RegValue& out)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExW(key, name, nullptr, &out.type, nullptr, &size);
    if (status == ERROR_SUCCESS)
    {
        out.data.resize(size);
        status = ::RegQueryValueExW(key, name, nullptr, &out.type, out.data.data(), &size);
        out.data.resize(size);
    }
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::vector<std::pair<std::wstring, RegValue>> ReadAllValues(const std::string& path)
{
    std::vector<std::pair<std::wstring, RegValue>> values;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index)
    {
        wchar_t name[16384];
        DWORD nameLength = ARRAYSIZE(name);
        DWORD type = 0, size = 0;
        if (::RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            break;
        RegValue value;
        value.type = type;
        value.data.resize(size);
        nameLength = ARRAYSIZE(name);
        ::RegEnumValueW(key, index, name, &nameLength, nullptr, &value.type, value.data.data(), &size);
        value.data.resize(size);
        values.emplace_back(std::wstring(name, nameLength), std::move(value));
    }
    ::RegCloseKey(key);
    return values;
}

bool KeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}
