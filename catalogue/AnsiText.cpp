#include "AnsiText.h"

#include <windows.h>

#include <new>

bool ToThreadAnsiText(const wchar_t* wide, std::string& text) noexcept
{
    text.clear();
    if (!wide)
        return true;
    const int size = ::WideCharToMultiByte(CP_THREAD_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return true;
    try
    {
        text.resize(static_cast<size_t>(size));
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    const int written =
        ::WideCharToMultiByte(CP_THREAD_ACP, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.resize(written > 0 ? static_cast<size_t>(written - 1) : 0);
    return true;
}
