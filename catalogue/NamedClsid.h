#pragma once
// A display name with the class identifier it stands for: one entry of a list
// or tree in the windows, and one item delivered by the catalogue's walks.

#include <windows.h>

#include <string>
#include <type_traits>

struct NamedClsid
{
    std::string name; // 8-bit display text
    CLSID clsid;
};

// A non-owning reference to whatever callable takes the entries of a walk.
// It is called synchronously, in enumeration order, and the entry it is given
// is valid only during the call: a consumer copies what it keeps.
class NamedClsidConsumer
{
public:
    template <typename F, typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, NamedClsidConsumer>>>
    NamedClsidConsumer(F&& f) noexcept // NOLINT: implicit by design, like a function reference
        : m_context(const_cast<void*>(static_cast<const void*>(&f))),
          m_call([](void* context, const NamedClsid& entry) {
              (*static_cast<std::remove_reference_t<F>*>(context))(entry);
          })
    {
    }

    void operator()(const NamedClsid& entry) const { m_call(m_context, entry); }

private:
    void* m_context;
    void (*m_call)(void*, const NamedClsid&);
};
