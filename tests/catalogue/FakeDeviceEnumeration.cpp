#include "FakeDeviceEnumeration.h"

#include <oleauto.h>

#include <algorithm>

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

HRESULT STDMETHODCALLTYPE FakePropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*)
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
        V_BSTR(value) = ::SysAllocStringLen(stored.text.data(), static_cast<UINT>(stored.text.size()));
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

HRESULT STDMETHODCALLTYPE FakeMoniker::BindToStorage(IBindCtx* context, IMoniker* left, REFIID iid,
                                                     void** out)
{
    ++m_binds;
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

HRESULT STDMETHODCALLTYPE FakeEnumMoniker::Next(ULONG count, IMoniker** out, ULONG* fetched)
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

HRESULT STDMETHODCALLTYPE FakeDevEnum::CreateClassEnumerator(REFCLSID category, IEnumMoniker** out,
                                                             DWORD flags)
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
