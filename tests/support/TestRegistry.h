#pragma once
// Registry helpers for the tests and the scale benchmark: fresh identifiers,
// key trees that remove themselves, value reads and writes in one line, and a
// count of the keys the process holds open. They need no GoogleTest.

#include <windows.h>

#include <string>
#include <vector>

#include "UniqueHandle.h"

// A new, unique GUID: every test works on identifiers of its own, so tests can
// run in parallel against the one registry of the test session.
GUID NewGuid();

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", as the program writes it.
std::string GuidText(REFGUID guid);
std::wstring GuidTextW(REFGUID guid);

// Wide text of ASCII characters only, unit by unit as 8-bit text.
std::string AsciiText(const std::wstring& ascii);

// The text with its letters in lower case, as a CLSID may be written by hand.
std::wstring LowerCase(std::wstring text);

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

// A key under HKEY_CLASSES_ROOT; empty when it cannot be opened.
UniqueRegKey OpenClassesKey(const std::string& path, REGSAM access = KEY_READ);

// Creates a key under HKEY_CLASSES_ROOT with every missing key above it.
bool CreateKey(const std::string& path);

bool KeyExists(const std::string& path);

// Writes a value (the key is created as needed). Returns the registry status.
LSTATUS WriteValue(const std::string& path, const wchar_t* name, DWORD type, const void* data, DWORD size);
LSTATUS WriteString(const std::string& path, const wchar_t* name, const std::wstring& text);
// The "CLSID" and "FriendlyName" values through which the device enumerator
// lists a registration.
LSTATUS WriteEntry(const std::string& path, const std::wstring& clsid, const std::wstring& name);

// Reads a value, through the wide registry call or (ReadValueA) the 8-bit one;
// false when the key or the value is missing.
bool ReadValue(const std::string& path, const wchar_t* name, RegValue& out);
bool ReadValueA(const std::string& path, const char* name, RegValue& out);

// Every value of a key, by name, in the key's own order; empty when the key is missing.
std::vector<std::pair<std::wstring, RegValue>> ReadAllValues(const std::string& path);

// Access lists in SDDL form.
constexpr char kReadOnlyAccess[] = "D:P(A;;KR;;;WD)"; // everyone may read, no one may write
constexpr char kNoAccess[] = "D:P";                   // no one may open the key
constexpr char kFullAccess[] = "D:P(A;;KA;;;WD)";     // everyone may do anything

// Gives an existing key under HKEY_CLASSES_ROOT another access list for the
// object's life, through a handle opened before the change, and afterwards
// full access for everyone, so that the test's keys go as usual.
class ScopedKeyAccess
{
public:
    ScopedKeyAccess(const std::string& path, const char* sddl)
        : m_key(OpenClassesKey(path, KEY_ALL_ACCESS)), m_applied(m_key && SetAccess(sddl))
    {
    }
    ~ScopedKeyAccess()
    {
        if (m_applied)
            SetAccess(kFullAccess);
    }
    ScopedKeyAccess(const ScopedKeyAccess&) = delete;
    ScopedKeyAccess& operator=(const ScopedKeyAccess&) = delete;
    bool applied() const { return m_applied; }

private:
    bool SetAccess(const char* sddl) const;

    UniqueRegKey m_key;
    bool m_applied;
};

// The registry keys the process holds open. (GetProcessHandleCount answers 0
// under Wine, and the process's other handles come and go with threads of the
// platform's own.)
int OpenKeyCount();

// Creates a key under HKEY_CLASSES_ROOT that the registry keeps in memory only
// and never saves, with every missing key above it as an ordinary key. Bulk
// data written there cannot stall a later call while the registry server
// saves it. Returns the registry status.
LSTATUS CreateVolatileClassesKey(const std::string& path);
