#include "ServerFile.h"

#include <memory>
#include <new>

#include "ClsidText.h"
#include "KeyPaths.h"
#include "UniqueHandle.h"

namespace {

// Reads the key's default value, a REG_SZ or REG_EXPAND_SZ string, into the
// room given and terminates it there, whether or not it was stored with its
// zero.
LONG ReadDefaultString(HKEY key, char* text, DWORD capacity, DWORD& type) noexcept
{
    DWORD size = capacity - 1; // room for the zero the value may lack
    const LONG status =
        ::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    if (status != ERROR_SUCCESS)
        return status;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATATYPE;
    text[size] = '\0';
    return ERROR_SUCCESS;
}

// Expands the environment variables of `file` in place.
LONG ExpandInPlace(char (&file)[kServerFileCapacity]) noexcept
{
    const std::unique_ptr<char[]> unexpanded(new (std::nothrow) char[kServerFileCapacity]);
    if (!unexpanded)
        return ERROR_NOT_ENOUGH_MEMORY;
    ::lstrcpynA(unexpanded.get(), file, kServerFileCapacity);
    const DWORD length = ::ExpandEnvironmentStringsA(unexpanded.get(), file, kServerFileCapacity);
    if (length == 0)
        return static_cast<LONG>(::GetLastError());
    return length > kServerFileCapacity ? ERROR_MORE_DATA : ERROR_SUCCESS;
}

} // namespace

LONG ReadServerFile(REFCLSID clsid, char (&file)[kServerFileCapacity]) noexcept
{
    file[0] = '\0';
    ClsidText text;
    const HRESULT hr = ClsidToText(clsid, text);
    if (FAILED(hr))
        return hr;
    UniqueRegKey key;
    LONG status = ::RegOpenKeyExA(HKEY_CLASSES_ROOT, ServerKeyPath(text).text, 0, KEY_QUERY_VALUE, key.put());
    DWORD type = REG_NONE;
    if (status == ERROR_SUCCESS)
        status = ReadDefaultString(key.get(), file, kServerFileCapacity, type);
    if (status == ERROR_SUCCESS && type == REG_EXPAND_SZ)
        status = ExpandInPlace(file);
    if (status != ERROR_SUCCESS)
        file[0] = '\0';
    return status;
}
