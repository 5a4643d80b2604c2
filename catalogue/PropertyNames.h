#pragma once
// The values of a filter's or a category's registration (its Instance key, seen
// by the device enumerator as the moniker's property bag) that the program reads
// and writes.

#include <windows.h>

constexpr wchar_t kFriendlyNameProperty[] = L"FriendlyName"; // the display name
constexpr wchar_t kClsidProperty[] = L"CLSID";               // the class identifier as CLSID text
constexpr char kClsidPropertyA[] = "CLSID";
