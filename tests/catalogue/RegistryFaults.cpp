#include "RegistryFaults.h"

#include <gtest/gtest.h>

#include <sddl.h>

ScopedKeyAccess::ScopedKeyAccess(const std::string& path, const char* sddl)
{
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_ALL_ACCESS, &m_key) != ERROR_SUCCESS)
    {
        ADD_FAILURE() << "cannot open " << path;
        m_key = nullptr;
        return;
    }
    DWORD size = 0;
    ::RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, nullptr, &size);
    m_original.resize(size);
    if (size == 0 || ::RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_original.data(), &size) !=
                         ERROR_SUCCESS)
        m_original.clear();

    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                                nullptr))
    {
        ADD_FAILURE() << "bad access list " << sddl;
        return;
    }
    m_applied = ::RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    ::LocalFree(descriptor);
    EXPECT_TRUE(m_applied) << "cannot set the access list of " << path;
}

ScopedKeyAccess::~ScopedKeyAccess()
{
    if (!m_key)
        return;
    if (m_applied && !m_original.empty())
        ::RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_original.data());
    ::RegCloseKey(m_key);
}

LSTATUS CreateVolatileKey(const std::string& path)
{
    HKEY key = nullptr;
    const LSTATUS status = ::RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr,
                                             REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS)
        ::RegCloseKey(key);
    return status;
}

bool ReadValueA(const std::string& path, const char* name, RegValue& out)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExA(key, name, nullptr, &out.type, nullptr, &size);
    if (status == ERROR_SUCCESS)
    {
        out.data.resize(size);
        status = ::RegQueryValueExA(key, name, nullptr, &out.type, out.data.data(), &size);
        out.data.resize(size);
    }
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

int FailingClsidConversion::s_calls = 0;
int FailingClsidConversion::s_failingCall = 0;

FailingClsidConversion::FailingClsidConversion(int failingCall)
    : m_call(&PlatformCalls::stringFromClsid, &FailingClsidConversion::StringFromClsid)
{
    s_calls = 0;
    s_failingCall = failingCall;
}

HRESULT WINAPI FailingClsidConversion::StringFromClsid(REFCLSID clsid, LPOLESTR* text)
{
    if (++s_calls == s_failingCall)
    {
        *text = nullptr;
        return kConversionFailure;
    }
    return ::StringFromCLSID(clsid, text);
}
