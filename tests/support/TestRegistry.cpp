#include "TestRegistry.h"

#include <objbase.h>
#include <winternl.h>

#include <algorithm>
#include <cwctype>

#include <gtest/gtest.h>


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

LSTATUS WriteValue(const std::string& path, const wchar_t* name, DWORD type, const void* data,
                   DWORD size)
{
    UniqueRegKey key;
    const LSTATUS status = ::RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), key.put());
    if (status != ERROR_SUCCESS)
        return status;
    return ::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

LSTATUS WriteString(const std::string& path, const wchar_t* name, const std::wstring& text)
{
    return WriteValue(path, name, REG_SZ, text.c_str(),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
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
        DWORD type = 0, size = 0;
        if (::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            break;
        RegValue value;
        value.type = type;
        value.data.resize(size);
        nameLength = ARRAYSIZE(name);
        ::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &value.type, value.data.data(),
                        &size);
        value.data.resize(size);
        values.emplace_back(std::wstring(name, nameLength), std::move(value));
    }
    return values;
}

namespace {

// The platform's table of every open handle, its entries as both Windows and
// Wine lay them out: the owner's process id in the low 16 bits of the first
// field, then the index of the object's type and the handle's value.
constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
struct HandleEntry
{
    ULONG owner;
    BYTE type;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};
struct HandleTable
{
    ULONG count;
    HandleEntry entries[1];
};

} // namespace

int OpenKeyCount()
{
    // A key of its own shows which type in the table is a registry key's.
    const UniqueRegKey probe = OpenClassesKey("CLSID");
    std::vector<BYTE> table(1 << 16);
    NTSTATUS status;
    while ((status = ::NtQuerySystemInformation(kSystemHandleInformation, table.data(),
                                                static_cast<ULONG>(table.size()), nullptr)) ==
           kInfoLengthMismatch)
        table.resize(table.size() * 2);
    if (!probe || status != 0)
    {
        ADD_FAILURE() << "no handle table: status " << std::hex << status;
        return -1;
    }
    const auto& handles = *reinterpret_cast<const HandleTable*>(table.data());
    const HandleEntry* const begin = handles.entries;
    const HandleEntry* const end = begin + handles.count;
    const auto self = static_cast<USHORT>(::GetCurrentProcessId());
    const auto own = [self](const HandleEntry& entry) { return static_cast<USHORT>(entry.owner) == self; };
    const auto probeValue = static_cast<USHORT>(reinterpret_cast<ULONG_PTR>(probe.get()));
    const HandleEntry* const probeEntry = std::find_if(begin, end, [&](const HandleEntry& entry) {
        return own(entry) && entry.value == probeValue;
    });
    if (probeEntry == end)
    {
        ADD_FAILURE() << "the handle table lacks a key just opened";
        return -1;
    }
    const BYTE keyType = probeEntry->type;
    return static_cast<int>(std::count_if(begin, end, [&](const HandleEntry& entry) {
               return own(entry) && entry.type == keyType;
           })) - 1; // the probe
}

void ClosesEveryKey::SetUp()
{
    // The process keeps the handle of the classes root that it opens first.
    KeyExists("CLSID");
    m_openBefore = OpenKeyCount();
}

void ClosesEveryKey::TearDown()
{
    EXPECT_EQ(m_openBefore, OpenKeyCount()) << "registry keys left open by the case";
}
