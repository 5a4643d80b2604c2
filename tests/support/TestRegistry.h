#pragma once
// Registry helpers for tests: fresh identifiers, key trees that remove
// themselves, and value reads and writes in one line.

#include <windows.h>

#include <string>
#include <vector>

// A new, unique GUID: every test works on identifiers of its own, so tests can
// run in parallel against the one registry of the test session.
GUID NewGuid();

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", as the program writes it.
std::string GuidText(REFGUID guid);
std::wstring GuidTextW(REFGUID guid);

// "CLSID\{category}\Instance\{filter}" and "CLSID\{clsid}".
std::string InstancePath(REFGUID category, REFGUID filter);
std::string ClassPath(REFGUID clsid);

// Deletes a key tree under HKEY_CLASSES_ROOT when it goes out of scope.
class ScopedClassesKey
{
public:
    explicit ScopedClassesKey(std::string path) : m_path(std::move(path)) {}
    ~ScopedClassesKey();
    ScopedClassesKey(const ScopedClassesKey&) = delete;
    ScopedClassesKey& operator=(const ScopedClassesKey&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// One registry value as stored: type and bytes.
struct RegValue
{
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RegValue& other) const { return type == other.type && data == other.data; }
};

// Writes a value (the key is created as needed). Returns the registry status.
LSTATUS WriteValue(const std::string& path, const wchar_t* name, DWORD type, const void* data,
                   DWORD size);
LSTATUS WriteString(const std::string& path, const wchar_t* name, const std::wstring& text);

// Reads a value; false when the key or the value is missing.
bool ReadValue(const std::string& path, const wchar_t* name, RegValue& out);

// Every value of a key, by name, in the key's own order; empty when the key is missing.
std::vector<std::pair<std::wstring, RegValue>> ReadAllValues(const std::string& path);

bool KeyExists(const std::string& path);
