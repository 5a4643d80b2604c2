#include "ClsidText.h"

#include "PlatformCalls.h"
#include "UniqueHandle.h"

HRESULT ClsidToText(REFCLSID clsid, ClsidText& out) noexcept
{
    out.text[0] = '\0';
    UniqueCoTaskString wide;
    const HRESULT hr = Platform().stringFromClsid(clsid, wide.put());
    if (FAILED(hr))
        return hr;
    if (!::WideCharToMultiByte(CP_THREAD_ACP, 0, wide.get(), -1, out.text, sizeof out.text, nullptr, nullptr))
        return HRESULT_FROM_WIN32(::GetLastError());
    return S_OK;
}
