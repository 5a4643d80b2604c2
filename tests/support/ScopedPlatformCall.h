#pragma once
// Replaces one entry of the program's platform call table for the life of the
// object, and puts the platform's own function back afterwards.

#include "PlatformCalls.h"

template <typename Fn>
class ScopedPlatformCall
{
public:
    ScopedPlatformCall(Fn PlatformCalls::*slot, Fn replacement) : m_slot(slot), m_saved(Platform().*slot)
    {
        Platform().*m_slot = replacement;
    }
    ~ScopedPlatformCall() { Platform().*m_slot = m_saved; }
    ScopedPlatformCall(const ScopedPlatformCall&) = delete;
    ScopedPlatformCall& operator=(const ScopedPlatformCall&) = delete;

private:
    Fn PlatformCalls::*m_slot;
    Fn m_saved;
};

template <typename Fn>
ScopedPlatformCall(Fn PlatformCalls::*, Fn) -> ScopedPlatformCall<Fn>;

// A GUID that cannot be put into text, as in a shortage of memory.
inline HRESULT WINAPI FailStringFromClsid(REFCLSID, LPOLESTR* text)
{
    *text = nullptr;
    return E_OUTOFMEMORY;
}
