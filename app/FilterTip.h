#pragma once
// The tip that tells apart two filters, or categories, of the same name: the
// CLSID text and, for a filter, on a second line, the file that serves it. It
// is read from the registry each time a tip is asked for, and nothing is kept.

#include <windows.h>
#include <commctrl.h>

// Room for a tip, terminating zero included: as much as a tree view asks for.
constexpr int kTipTextCapacity = INFOTIPSIZE;

// What a tip names after the CLSID.
enum class TipLines
{
    ClsidOnly,      // a category
    ClsidAndServer, // a filter: the file that serves it, where the registry names one
};

// Writes the tip into `text`, which has room for `capacity` characters with the
// terminating zero: cut on a character boundary where it is longer, and always
// terminated. The wide form holds the same text.
void FormatFilterTip(REFCLSID clsid, TipLines lines, LPSTR text, int capacity) noexcept;
void FormatFilterTip(REFCLSID clsid, TipLines lines, LPWSTR text, int capacity) noexcept;

// The widest a tip's line is drawn, in pixels at 96 DPI: a longer line breaks
// between words.
constexpr int kTipMaxWidth = 480;

// Lets the tooltip draw a tip as several lines (it draws one line otherwise),
// at most kTipMaxWidth wide at the DPI of the window that shows it. Nothing
// for a null tooltip.
void SetTipWidth(HWND tooltip, UINT dpi) noexcept;
