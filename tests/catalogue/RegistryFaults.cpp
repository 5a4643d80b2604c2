#include "RegistryFaults.h"

#include <gtest/gtest.h>

#include <sddl.h>

ScopedKeyAccess::ScopedKeyAccess(const std::string& path, const char* sddl)
    : m_key(OpenClassesKey(path, KEY_ALL_ACCESS))
{
    if (!m_key)
    {
        ADD_FAILURE() << "cannot open " << path;
        return;
    }
    DWORD size = 0;
    ::RegGetKeySecurity(m_key.get(), DACL_SECURITY_INFORMATION, nullptr, &size);
    m_original.resize(size);
    if (size == 0 || ::RegGetKeySecurity(m_key.get(), DACL_SECURITY_INFORMATION, m_original.data(), &size) !=
                         ERROR_SUCCESS)
        m_original.clear();

    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr))
    {
        ADD_FAILURE() << "bad access list " << sddl;
        return;
    }
    m_applied = ::RegSetKeySecurity(m_key.get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    ::LocalFree(descriptor);
    EXPECT_TRUE(m_applied) << "cannot set the access list of " << path;
}

ScopedKeyAccess::~ScopedKeyAccess()
{
    if (m_applied && !m_original.empty())
        ::RegSetKeySecurity(m_key.get(), DACL_SECURITY_INFORMATION, m_original.data());
}

LSTATUS CreateVolatileKey(const std::string& path)
{
    UniqueRegKey key;
    return ::RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                             nullptr, key.put(), nullptr);
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
