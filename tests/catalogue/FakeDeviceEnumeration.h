#pragma once
// Stand-ins for the system device enumerator's objects, written for the tests:
// a device enumerator, a moniker enumerator, monikers and property bags whose
// answers a test sets. Each counts its references (FakeComObject).

#include <windows.h>
#include <cguid.h>
#include <strmif.h>

#include <map>
#include <string>
#include <vector>

#include "StandIns.h"

// The strings that the bags have handed out since the last call and that were
// never freed; each string is watched from its allocation to its free.
int TakeUnfreedBagStrings();

// A property bag with string values, values that fail to read, values read as a
// null string and values that come back as a number.
class FakePropertyBag : public FakeComObject<IPropertyBag>
{
public:
    FakePropertyBag() : FakeComObject(IID_IPropertyBag) {}

    FakePropertyBag& Text(const wchar_t* name, std::wstring text);
    FakePropertyBag& NullText(const wchar_t* name);
    FakePropertyBag& Number(const wchar_t* name, LONG number);
    FakePropertyBag& Failing(const wchar_t* name, HRESULT status);

    // Names read, in order.
    const std::vector<std::wstring>& reads() const { return m_reads; }
    // Reads whose variant was not set to VT_BSTR by the caller.
    int untypedReads() const { return m_untypedReads; }

    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }

private:
    enum class Kind
    {
        Text,
        NullText,
        Number,
        Failing
    };
    struct Value
    {
        Kind kind;
        std::wstring text;
        LONG number;
        HRESULT status;
    };
    std::map<std::wstring, Value> m_values;
    std::vector<std::wstring> m_reads;
    int m_untypedReads = 0;
};

// A moniker that binds to a given bag, or fails to bind with a given status.
class FakeMoniker : public FakeComObject<IMoniker>
{
public:
    explicit FakeMoniker(FakePropertyBag* bag, HRESULT bindStatus = S_OK)
        : FakeComObject(IID_IMoniker), m_bag(bag), m_bindStatus(bindStatus)
    {
    }

    FakePropertyBag* bag() const { return m_bag; }
    // Binds made with anything but no context, no left moniker and IPropertyBag.
    int unexpectedBinds() const { return m_unexpectedBinds; }

    STDMETHODIMP BindToStorage(IBindCtx* context, IMoniker* left, REFIID iid, void** out) override;

    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsDirty() override { return E_NOTIMPL; }
    STDMETHODIMP Load(IStream*) override { return E_NOTIMPL; }
    STDMETHODIMP Save(IStream*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP BindToObject(IBindCtx*, IMoniker*, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP ComposeWith(IMoniker*, BOOL, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP Enum(BOOL, IEnumMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP IsEqual(IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP Hash(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP IsRunning(IBindCtx*, IMoniker*, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*) override { return E_NOTIMPL; }
    STDMETHODIMP Inverse(IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP CommonPrefixWith(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP RelativePathTo(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker**) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP IsSystemMoniker(DWORD*) override { return E_NOTIMPL; }

private:
    FakePropertyBag* m_bag;
    HRESULT m_bindStatus;
    int m_unexpectedBinds = 0;
};

// A moniker enumerator that hands out its monikers in order, then answers every
// further Next with the end status; a moniker given for the end comes out along
// with that status, once, as a careless enumerator might hand it. At every Next
// it checks that the monikers handed out before, and their bags, have been
// released.
class FakeEnumMoniker : public FakeComObject<IEnumMoniker>
{
public:
    FakeEnumMoniker(std::vector<FakeMoniker*> monikers, HRESULT endStatus = S_FALSE,
                    FakeMoniker* withEnd = nullptr)
        : FakeComObject(IID_IEnumMoniker), m_monikers(std::move(monikers)), m_endStatus(endStatus),
          m_withEnd(withEnd)
    {
    }

    int nexts() const { return m_nexts; }
    // Nexts made while an earlier moniker or its bag was still held.
    int fetchesWhileHeld() const { return m_fetchesWhileHeld; }
    // Nexts made after the end status had been given.
    int nextsAfterEnd() const { return m_nextsAfterEnd; }

    STDMETHODIMP Next(ULONG count, IMoniker** out, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override { return E_NOTIMPL; }
    STDMETHODIMP Clone(IEnumMoniker**) override { return E_NOTIMPL; }

private:
    std::vector<FakeMoniker*> m_monikers;
    HRESULT m_endStatus;
    FakeMoniker* m_withEnd;
    size_t m_next = 0;
    int m_nexts = 0;
    int m_fetchesWhileHeld = 0;
    int m_nextsAfterEnd = 0;
};

// A device enumerator that answers CreateClassEnumerator with a given status
// and moniker enumerator (which may be null).
class FakeDevEnum : public FakeComObject<ICreateDevEnum>
{
public:
    FakeDevEnum(HRESULT status, FakeEnumMoniker* enumerator)
        : FakeComObject(IID_ICreateDevEnum), m_status(status), m_enumerator(enumerator)
    {
    }

    int requests() const { return m_requests; }
    const CLSID& category() const { return m_category; }
    DWORD flags() const { return m_flags; }

    STDMETHODIMP CreateClassEnumerator(REFCLSID category, IEnumMoniker** out, DWORD flags) override;

private:
    HRESULT m_status;
    FakeEnumMoniker* m_enumerator;
    int m_requests = 0;
    CLSID m_category = GUID_NULL;
    DWORD m_flags = 0;
};
