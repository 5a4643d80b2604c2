#pragma once
// A static message table: a view of a constant array of entries, which the
// dispatch searches from the top down.

#include <cstddef>

template <typename Entry>
class MessageTable
{
public:
    constexpr MessageTable() noexcept = default;
    template <std::size_t N>
    constexpr MessageTable(const Entry (&entries)[N]) noexcept // NOLINT: implicit from the array
        : m_begin(entries), m_end(entries + N)
    {
    }

    constexpr const Entry* begin() const noexcept { return m_begin; }
    constexpr const Entry* end() const noexcept { return m_end; }

private:
    const Entry* m_begin = nullptr;
    const Entry* m_end = nullptr;
};
