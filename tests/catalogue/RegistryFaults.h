#pragma once
// Registry and conversion faults for the registration tests: what the real
// platform can be made to refuse (access lists, volatile keys), and, through
// the platform call table, the GUID-to-text conversions it cannot.

#include <windows.h>

#include <string>
#include <vector>

#include "ScopedPlatformCall.h"
#include "TestRegistry.h"

// Access lists in SDDL form.
constexpr char kReadOnlyAccess[] = "D:P(A;;KR;;;WD)"; // everyone may read, no one may write
constexpr char kNoAccess[] = "D:P";                   // no one may open the key

// Gives an existing key under HKEY_CLASSES_ROOT another access list for the
// object's life and puts the original list back afterwards, through a handle
// opened before the change.
class ScopedKeyAccess
{
public:
    ScopedKeyAccess(const std::string& path, const char* sddl);
    ~ScopedKeyAccess();
    ScopedKeyAccess(const ScopedKeyAccess&) = delete;
    ScopedKeyAccess& operator=(const ScopedKeyAccess&) = delete;

    bool applied() const { return m_applied; }

private:
    UniqueRegKey m_key;
    std::vector<BYTE> m_original;
    bool m_applied = false;
};

// Creates a volatile key: a key that is not kept may hold no key that is.
LSTATUS CreateVolatileKey(const std::string& path);

// The status with which a conversion fails here, the one StringFromCLSID gives
// when it runs out of memory.
constexpr HRESULT kConversionFailure = E_OUTOFMEMORY;

// Makes the nth GUID-to-text conversion from now on (counting from 1) fail with
// kConversionFailure, for the object's life.
class FailingClsidConversion
{
public:
    explicit FailingClsidConversion(int failingCall);

private:
    static HRESULT WINAPI StringFromClsid(REFCLSID clsid, LPOLESTR* text);

    static int s_calls;
    static int s_failingCall;
    ScopedPlatformCall<decltype(PlatformCalls::stringFromClsid)> m_call;
};
