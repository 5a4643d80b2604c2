#pragma once
// Registry paths under HKEY_CLASSES_ROOT that name a filter's registrations.

#include "ClsidText.h"

// "CLSID\{category}\Instance\{filter}": a filter's registration in a category.
struct InstanceKeyPath
{
    InstanceKeyPath(const ClsidText& category, const ClsidText& filter) noexcept;
    char text[sizeof "CLSID\\\\Instance\\" + 2 * size_t{ClsidText::kLength}]; // 92 characters and the zero
};

// "CLSID\{filter}": the filter's class key.
struct ClassKeyPath
{
    explicit ClassKeyPath(const ClsidText& filter) noexcept;
    char text[sizeof "CLSID\\" + ClsidText::kLength]; // 44 characters and the zero
};

// "CLSID\{clsid}\InprocServer32": the key that names the file serving a class.
struct ServerKeyPath
{
    explicit ServerKeyPath(const ClsidText& clsid) noexcept;
    char text[sizeof "CLSID\\\\InprocServer32" + ClsidText::kLength]; // 59 characters and the zero
};
