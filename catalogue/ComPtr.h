#pragma once
// Owner of one reference to a COM interface.

#include <unknwn.h>

template <typename T>
class ComPtr
{
public:
    ComPtr() noexcept = default;
    ~ComPtr() { reset(); }

    ComPtr(const ComPtr& other) noexcept : m_p(other.m_p)
    {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : m_p(other.detach()) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        T* old = m_p;
        m_p = other.m_p;
        other.m_p = old;
        return *this;
    }

    T* get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    // Gives up the reference without releasing it.
    T* detach() noexcept
    {
        T* p = m_p;
        m_p = nullptr;
        return p;
    }

    void reset() noexcept
    {
        if (m_p)
        {
            T* p = m_p;
            m_p = nullptr;
            p->Release();
        }
    }

    // For out-parameters: releases what is held and hands out the slot.
    T** put() noexcept
    {
        reset();
        return &m_p;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

private:
    T* m_p = nullptr;
};
