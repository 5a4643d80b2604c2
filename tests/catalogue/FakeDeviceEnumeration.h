#pragma once
// Stand-ins for the system device enumerator's objects, written for the tests:
// a device enumerator, a moniker enumerator, monikers and property bags whose
// answers a test sets. Each counts its references; the test owns the first
// reference, so an object is balanced when its count is back to 1. None ever
// deletes itself.

#include <windows.h>
#include <cguid.h>
#include <strmif.h>

#include <map>
#include <string>
#include <vector>

template <typename Interface>
class FakeComObject : public Interface
{
public:
    explicit FakeComObject(REFIID iid) : m_iid(iid) {}
    virtual ~FakeComObject() = default;
    FakeComObject(const FakeComObject&) = delete;
    FakeComObject& operator=(const FakeComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid != IID_IUnknown && iid != m_iid)
        {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        this->AddRef();
        *out = static_cast<Interface*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--m_refs); }

    LONG refs() const { return m_refs; }
    bool balanced() const { return m_refs == 1; }

private:
    IID m_iid;
    LONG m_refs = 1;
};

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

    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }

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
    int binds() const { return m_binds; }
    // Binds made with anything but no context, no left moniker and IPropertyBag.
    int unexpectedBinds() const { return m_unexpectedBinds; }

    HRESULT STDMETHODCALLTYPE BindToStorage(IBindCtx* context, IMoniker* left, REFIID iid,
                                            void** out) override;

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Load(IStream*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Save(IStream*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx*, IMoniker*, REFIID, void**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ComposeWith(IMoniker*, BOOL, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Enum(BOOL, IEnumMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsEqual(IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Hash(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsRunning(IBindCtx*, IMoniker*, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Inverse(IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CommonPrefixWith(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RelativePathTo(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE IsSystemMoniker(DWORD*) override { return E_NOTIMPL; }

private:
    FakePropertyBag* m_bag;
    HRESULT m_bindStatus;
    int m_binds = 0;
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

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IMoniker** out, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumMoniker**) override { return E_NOTIMPL; }

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

    HRESULT STDMETHODCALLTYPE CreateClassEnumerator(REFCLSID category, IEnumMoniker** out,
                                                    DWORD flags) override;

private:
    HRESULT m_status;
    FakeEnumMoniker* m_enumerator;
    int m_requests = 0;
    CLSID m_category = GUID_NULL;
    DWORD m_flags = 0;
};
