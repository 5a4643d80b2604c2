#include "FilterTip.h"

#include <algorithm>
#include <cstring>

#include "ClsidText.h"
#include "ServerFile.h"

namespace {

constexpr char kLineBreak[] = "\r\n";

// Appends as much of `piece` as fits in whole characters of the ANSI code page,
// keeping the text terminated. False once a character did not fit.
bool Append(LPSTR text, int capacity, int& length, LPCSTR piece) noexcept
{
    for (LPCSTR at = piece; *at;)
    {
        const LPCSTR next = ::CharNextA(at);
        const int size = static_cast<int>(next - at);
        if (length + size >= capacity)
            return false;
        std::memcpy(text + length, at, static_cast<size_t>(size));
        length += size;
        text[length] = '\0';
        at = next;
    }
    return true;
}

} // namespace

void FormatFilterTip(REFCLSID clsid, TipLines lines, LPSTR text, int capacity) noexcept
{
    if (capacity <= 0)
        return;
    text[0] = '\0';
    int length = 0;
    ClsidText clsidText;
    if (FAILED(ClsidToText(clsid, clsidText)) || !Append(text, capacity, length, clsidText.text) ||
        lines == TipLines::ClsidOnly)
        return;
    // Missing, empty or not text: the CLSID stands alone.
    char file[kServerFileCapacity];
    if (ReadServerFile(clsid, file) == ERROR_SUCCESS && file[0] && Append(text, capacity, length, kLineBreak))
        Append(text, capacity, length, file);
}

void FormatFilterTip(REFCLSID clsid, TipLines lines, LPWSTR text, int capacity) noexcept
{
    if (capacity <= 0)
        return;
    // No more characters than bytes: the 8-bit text cut to the same room fits.
    char narrow[kTipTextCapacity];
    FormatFilterTip(clsid, lines, narrow, std::min(capacity, kTipTextCapacity));
    if (!::MultiByteToWideChar(CP_ACP, 0, narrow, -1, text, capacity))
        text[0] = L'\0';
}

void SetTipWidth(HWND tooltip, UINT dpi) noexcept
{
    if (tooltip)
        ::SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0,
                       ::MulDiv(kTipMaxWidth, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI));
}
