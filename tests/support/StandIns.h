#pragma once
// What the tests put in the platform's place: one entry of the program's
// platform call table replaced for the life of an object, a GUID conversion
// that fails, CoCreateInstance, and the IUnknown of the tests' own COM objects.

#include <windows.h>

#include <vector>

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

// A GUID that cannot be put into text, as in a shortage of memory.
inline HRESULT WINAPI FailStringFromClsid(REFCLSID, LPOLESTR* text)
{
    *text = nullptr;
    return E_OUTOFMEMORY;
}

// An object of the tests' own that counts its references. The test owns the
// first reference, so the object is balanced when its count is back to 1; it
// never deletes itself.
template <typename Interface>
class FakeComObject : public Interface
{
public:
    explicit FakeComObject(REFIID iid) : m_iid(iid) {}
    virtual ~FakeComObject() = default;
    FakeComObject(const FakeComObject&) = delete;
    FakeComObject& operator=(const FakeComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = iid == IID_IUnknown || iid == m_iid ? static_cast<Interface*>(this) : nullptr;
        if (!*out)
            return E_NOINTERFACE;
        this->AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--m_refs); }

    LONG refs() const { return m_refs; }
    bool balanced() const { return m_refs == 1; }

private:
    IID m_iid;
    LONG m_refs = 1;
};

// Stands in for CoCreateInstance while it lives. It records the class of every
// request, and the last request whole with the cursor shown at that moment.
// The class given to Fail fails with that status (none does for S_OK), the
// class given to Give gets that object, and any other class is created as the
// platform creates it.
class ScopedCreation
{
public:
    struct Request
    {
        IUnknown* outer;
        DWORD context;
        IID iid;
        HCURSOR cursor;
    };

    ScopedCreation() : m_seam(&PlatformCalls::coCreateInstance, &Create) { s_current = this; }
    ~ScopedCreation() { s_current = nullptr; }

    void Fail(REFCLSID clsid, HRESULT status)
    {
        m_failing = clsid;
        m_failure = status;
    }
    void Give(REFCLSID clsid, IUnknown* object)
    {
        m_given = clsid;
        m_object = object;
    }

    std::vector<CLSID> requested; // every class asked for, in order
    Request last = {};            // the last request

private:
    static HRESULT WINAPI Create(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* out)
    {
        ScopedCreation& self = *s_current;
        self.requested.push_back(clsid);
        self.last = {outer, context, iid, ::GetCursor()};
        *out = nullptr;
        if (clsid == self.m_failing && FAILED(self.m_failure))
            return self.m_failure;
        if (clsid == self.m_given)
            return self.m_object->QueryInterface(iid, out);
        return ::CoCreateInstance(clsid, outer, context, iid, out);
    }

    static inline ScopedCreation* s_current = nullptr;
    CLSID m_failing = GUID_NULL;
    HRESULT m_failure = S_OK;
    CLSID m_given = GUID_NULL;
    IUnknown* m_object = nullptr;
    ScopedPlatformCall<decltype(PlatformCalls::coCreateInstance)> m_seam;
};
