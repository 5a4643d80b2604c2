#pragma once
// One owner type per kind of platform handle the program holds. Each owner
// closes its handle exactly once, on whatever path leaves the owner's scope.

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <new>

template <typename Traits>
class UniqueHandle
{
public:
    using pointer = typename Traits::pointer;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(pointer h) noexcept : m_h(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    pointer get() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return m_h != pointer(); }

    // Gives up ownership without closing.
    pointer release() noexcept
    {
        pointer h = m_h;
        m_h = pointer();
        return h;
    }

    void reset(pointer h = pointer()) noexcept
    {
        if (m_h != pointer())
            Traits::Close(m_h);
        m_h = h;
    }

    // For out-parameters: closes what is held and hands out the slot.
    pointer* put() noexcept
    {
        reset();
        return &m_h;
    }

private:
    pointer m_h = pointer();
};

struct RegKeyTraits
{
    using pointer = HKEY;
    static void Close(HKEY h) noexcept { ::RegCloseKey(h); }
};

struct CoTaskStringTraits
{
    using pointer = LPOLESTR;
    static void Close(LPOLESTR p) noexcept { ::CoTaskMemFree(p); }
};

struct BstrTraits
{
    using pointer = BSTR;
    static void Close(BSTR p) noexcept { ::SysFreeString(p); }
};

struct ClsidCopyTraits
{
    using pointer = CLSID*;
    static void Close(CLSID* p) noexcept { delete p; }
};

struct IconTraits
{
    using pointer = HICON;
    static void Close(HICON h) noexcept { ::DestroyIcon(h); }
};

struct BitmapTraits
{
    using pointer = HBITMAP;
    static void Close(HBITMAP h) noexcept { ::DeleteObject(h); }
};

struct MemoryDcTraits
{
    using pointer = HDC;
    static void Close(HDC h) noexcept { ::DeleteDC(h); }
};

using UniqueRegKey = UniqueHandle<RegKeyTraits>;             // RegOpenKeyEx / RegCreateKey
using UniqueCoTaskString = UniqueHandle<CoTaskStringTraits>; // StringFromCLSID and friends
using UniqueBstr = UniqueHandle<BstrTraits>;                 // strings read from property bags
using UniqueClsidCopy = UniqueHandle<ClsidCopyTraits>;       // private 16-byte CLSID copies
using UniqueIcon = UniqueHandle<IconTraits>;         // icons loaded at a size of the program's choosing
using UniqueBitmap = UniqueHandle<BitmapTraits>;     // bitmaps loaded or made by the program
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>; // CreateCompatibleDC

// A VARIANT, such as a property bag fills: initialised on construction, and
// cleared (a string freed, an interface released) on destruction and before
// every reuse.
class UniqueVariant
{
public:
    UniqueVariant() noexcept { ::VariantInit(&m_value); }
    ~UniqueVariant() { reset(); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;

    VARTYPE type() const noexcept { return V_VT(&m_value); }
    // The string held: null for a null string and for a value of another type.
    BSTR bstr() const noexcept { return V_VT(&m_value) == VT_BSTR ? V_BSTR(&m_value) : nullptr; }

    void reset() noexcept { ::VariantClear(&m_value); }

    // For out-parameters: clears what is held and hands out the variant set to
    // ask for a value of `type`; a string asked for is null until it is filled.
    VARIANT* put(VARTYPE type) noexcept
    {
        reset();
        V_VT(&m_value) = type;
        V_BSTR(&m_value) = nullptr;
        return &m_value;
    }

private:
    VARIANT m_value;
};

// A private heap copy of a CLSID; empty when memory runs out.
inline UniqueClsidCopy MakeClsidCopy(REFCLSID clsid) noexcept
{
    return UniqueClsidCopy(new (std::nothrow) CLSID(clsid));
}
