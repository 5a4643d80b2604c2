#pragma once
// CLSID text: the 38-character braced form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
// with upper-case digits, as 8-bit text.

#include <windows.h>

struct ClsidText
{
    static const int kLength = 38;
    char text[kLength + 1];
};

// Puts a CLSID into text: StringFromCLSID, converted with the thread's ANSI
// code page. Returns S_OK, or the failing conversion's (negative) status.
HRESULT ClsidToText(REFCLSID clsid, ClsidText& out) noexcept;
