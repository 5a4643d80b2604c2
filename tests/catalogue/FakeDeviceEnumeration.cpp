#include "FakeDeviceEnumeration.h"

#include <oleauto.h>

#include <algorithm>
#include <set>

// Exported by the platform's automation library; not in its headers.
extern "C" void WINAPI SetOaNoCache();

namespace {

// Watches the task allocator, through which SysAllocString takes and
// SysFreeString gives back a string's memory, for the strings the bags hand
// out. The platform's cache of freed strings is turned off, so a string goes
// back to the allocator when it is freed. Registered for the life of the
// process: the allocator may call it as long as anything it watched is alive.
class StringWatch final : public IMallocSpy
{
public:
    StringWatch()
    {
        ::SetOaNoCache();
        ::CoRegisterMallocSpy(this);
    }

    BSTR Allocate(const std::wstring& text)
    {
        m_watchedThread = ::GetCurrentThreadId();
        const BSTR string = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        m_watchedThread = 0;
        return string;
    }

    int TakeUnfreed()
    {
        ::AcquireSRWLockExclusive(&m_lock);
        const int unfreed = static_cast<int>(m_live.size());
        m_live.clear();
        ::ReleaseSRWLockExclusive(&m_lock);
        return unfreed;
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IMallocSpy ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    void* STDMETHODCALLTYPE PostAlloc(void* actual) override
    {
        if (actual && m_watchedThread == ::GetCurrentThreadId())
            Update([&] { m_live.insert(actual); });
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override
    {
        Update([&] { m_live.erase(request); });
        return request;
    }

    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override
    {
        *newRequest = request;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

private:
    template <typename Change>
    void Update(Change change)
    {
        ::AcquireSRWLockExclusive(&m_lock);
        change();
        ::ReleaseSRWLockExclusive(&m_lock);
    }

    SRWLOCK m_lock = SRWLOCK_INIT;
    std::set<void*> m_live;
    volatile DWORD m_watchedThread = 0;
};

StringWatch& Strings()
{
    static StringWatch* const watch = new StringWatch; // never deleted: see above
    return *watch;
}

} // namespace

int TakeUnfreedBagStrings()
{
    return Strings().TakeUnfreed();
}

FakePropertyBag& FakePropertyBag::Text(const wchar_t* name, std::wstring text)
{
    m_values[name] = Value{Kind::Text, std::move(text), 0, S_OK};
    return *this;
}

FakePropertyBag& FakePropertyBag::NullText(const wchar_t* name)
{
    m_values[name] = Value{Kind::NullText, {}, 0, S_OK};
    return *this;
}

FakePropertyBag& FakePropertyBag::Number(const wchar_t* name, LONG number)
{
    m_values[name] = Value{Kind::Number, {}, number, S_OK};
    return *this;
}

FakePropertyBag& FakePropertyBag::Failing(const wchar_t* name, HRESULT status)
{
    m_values[name] = Value{Kind::Failing, {}, 0, status};
    return *this;
}

STDMETHODIMP FakePropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*)
{
    if (!name || !value)
        return E_POINTER;
    m_reads.emplace_back(name);
    if (V_VT(value) != VT_BSTR)
        ++m_untypedReads;

    const auto found = m_values.find(name);
    if (found == m_values.end())
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND); // what the platform's bag says
    const Value& stored = found->second;
    switch (stored.kind)
    {
    case Kind::Text:
        V_VT(value) = VT_BSTR;
        V_BSTR(value) = Strings().Allocate(stored.text);
        return V_BSTR(value) ? S_OK : E_OUTOFMEMORY;
    case Kind::NullText:
        V_VT(value) = VT_BSTR;
        V_BSTR(value) = nullptr;
        return S_OK;
    case Kind::Number:
        V_VT(value) = VT_I4;
        V_I4(value) = stored.number;
        return S_OK;
    case Kind::Failing:
        break;
    }
    return stored.status;
}

STDMETHODIMP FakeMoniker::BindToStorage(IBindCtx* context, IMoniker* left, REFIID iid, void** out)
{
    if (context || left || iid != IID_IPropertyBag)
        ++m_unexpectedBinds;
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (FAILED(m_bindStatus) || !m_bag)
        return FAILED(m_bindStatus) ? m_bindStatus : E_FAIL;
    m_bag->AddRef();
    *out = static_cast<IPropertyBag*>(m_bag);
    return m_bindStatus;
}

STDMETHODIMP FakeEnumMoniker::Next(ULONG count, IMoniker** out, ULONG* fetched)
{
    ++m_nexts;
    const size_t handedOut = std::min(m_next, m_monikers.size());
    for (size_t i = 0; i < handedOut; ++i)
    {
        const FakeMoniker* earlier = m_monikers[i];
        if (!earlier->balanced() || (earlier->bag() && !earlier->bag()->balanced()))
        {
            ++m_fetchesWhileHeld;
            break;
        }
    }
    if (!out || count != 1)
        return E_INVALIDARG;
    *out = nullptr;
    if (fetched)
        *fetched = 0;
    if (m_next >= m_monikers.size())
    {
        if (m_next > m_monikers.size())
            ++m_nextsAfterEnd;
        else if (m_withEnd)
        {
            m_withEnd->AddRef();
            *out = m_withEnd;
        }
        ++m_next;
        return m_endStatus;
    }
    FakeMoniker* moniker = m_monikers[m_next++];
    moniker->AddRef();
    *out = moniker;
    if (fetched)
        *fetched = 1;
    return S_OK;
}

STDMETHODIMP FakeDevEnum::CreateClassEnumerator(REFCLSID category, IEnumMoniker** out, DWORD flags)
{
    ++m_requests;
    m_category = category;
    m_flags = flags;
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (m_enumerator)
    {
        m_enumerator->AddRef();
        *out = m_enumerator;
    }
    return m_status;
}
