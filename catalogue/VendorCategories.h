#pragma once
// The product line's two private filter categories.

#include <windows.h>
#include <strmif.h>

#include <array>

#include "NamedClsid.h"

// {E526D606-22E7-494C-B81E-AC0A94BFE603} "ZARV Video Processors"
extern const CLSID CLSID_ZarvVideoProcessors;
// {5FFE757A-509A-477E-A1F1-68812010A6DD} "ZARV Audio Processors"
extern const CLSID CLSID_ZarvAudioProcessors;

// The descriptions under which the filter mapper registers the two categories:
// each category's "FriendlyName", and the source of its display name.
constexpr wchar_t kZarvVideoProcessorsDescription[] = L"ZARV Video Processors";
constexpr wchar_t kZarvAudioProcessorsDescription[] = L"ZARV Audio Processors";

// Both categories are registered with this merit.
constexpr DWORD kVendorCategoryMerit = MERIT_DO_NOT_USE;

// Registers both categories with the filter mapper (again, if they exist) and
// returns their entries, the video category's first, whatever the mapper said.
std::array<NamedClsid, 2> CreateVendorCategories(IFilterMapper2* mapper);
