#pragma once
// The few platform entry points that tests replace to produce what the real
// platform cannot be made to give on demand (a GUID that cannot be put into
// text, a device enumerator that cannot be created, a registry value that
// changes between two reads, a high-contrast theme), or observe where a call
// would start another program (opening a web address). The product always
// calls them through here, and by default each entry is the platform's own
// function.

#include <windows.h>
#include <objbase.h>

struct PlatformCalls
{
    HRESULT(WINAPI* stringFromClsid)(REFCLSID, LPOLESTR*);
    HRESULT(WINAPI* coCreateInstance)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    LSTATUS(APIENTRY* regQueryValueEx)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
    HINSTANCE(WINAPI* shellExecute)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    BOOL(WINAPI* systemParametersInfo)(UINT, UINT, PVOID, UINT);
};

PlatformCalls& Platform() noexcept;
