#include "KeyPaths.h"

#include <strsafe.h>

InstanceKeyPath::InstanceKeyPath(const ClsidText& category, const ClsidText& filter) noexcept
{
    ::StringCchPrintfA(text, ARRAYSIZE(text), "CLSID\\%s\\Instance\\%s", category.text, filter.text);
}

ClassKeyPath::ClassKeyPath(const ClsidText& filter) noexcept
{
    ::StringCchPrintfA(text, ARRAYSIZE(text), "CLSID\\%s", filter.text);
}

ServerKeyPath::ServerKeyPath(const ClsidText& clsid) noexcept
{
    ::StringCchPrintfA(text, ARRAYSIZE(text), "CLSID\\%s\\InprocServer32", clsid.text);
}
