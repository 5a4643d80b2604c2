#pragma once
// Texts, sizes and colours of the About box.

#include <windows.h>

namespace about {

// The product line at the top of the box: maker, title text, edition.
constexpr char kProductLineFormat[] = "%s %s %d";
constexpr char kMakerName[] = "TAVELMIR";
constexpr int kEditionBits = 64;
// Characters, terminating zero included; a longer product line is cut to fit.
constexpr size_t kProductLineSize = 260;

// The maker's web address: read from its control, at most 259 characters.
constexpr size_t kLinkTextSize = 260;
constexpr char kLinkVerb[] = "open";
constexpr int kLinkShowCommand = SW_SHOWNORMAL;
// Blue text on the dialog face; while high contrast is on, the theme's colour
// for links.
constexpr COLORREF kLinkTextColour = RGB(0, 0, 230);
constexpr int kContrastLinkColour = COLOR_HOTLIGHT;
constexpr int kLinkBackgroundMode = TRANSPARENT;
constexpr int kLinkBackgroundColour = COLOR_BTNFACE;

// The logo's size in pixels at 96 DPI (IDB_ABOUT_LOGO); at any other DPI the
// box draws it scaled from the rendition at twice that size (IDB_ABOUT_LOGO_2X)
// for scales above 100 %, and from the logo itself below.
constexpr int kLogoWidth = 250;
constexpr int kLogoHeight = 58;
constexpr WORD kLogoBitsPerPixel = 24; // no alpha: the static shows the bitmap itself

// Posted once the dialog manager has scaled the box to a new DPI: the logo's
// control then takes the size of the logo again.
constexpr UINT kFitLogoMessage = WM_APP + 1;

} // namespace about
