#pragma once
// A filter's membership of a category: its Instance key under the category's
// class key, "CLSID\{category}\Instance\{filter}" in HKEY_CLASSES_ROOT.
//
// The operations return one 32-bit status: 0 for success, a negative value when
// a CLSID could not be put into text, or a positive registry error number.

#include <windows.h>

// Copies the filter's registration from the source category into the target
// category; without a registration in the source category, writes a minimal one
// ("CLSID" and "FriendlyName") from the filter's class key. A class key without
// a default value gives ERROR_FILE_NOT_FOUND, and one whose default value is
// not a REG_SZ string ERROR_INVALID_DATATYPE; neither writes anything.
LONG AddFilterToCategory(REFCLSID sourceCategory, REFCLSID filter, REFCLSID targetCategory) noexcept;

// Deletes the filter's registration from the target category.
LONG RemoveFilterFromCategory(REFCLSID targetCategory, REFCLSID filter) noexcept;

// Copies one value, type and bytes exactly; a null source name is the key's
// default value. Returns the registry status.
LSTATUS CopyRegistryValue(HKEY destination, LPCWSTR destinationName, HKEY source,
                          LPCWSTR sourceName) noexcept;

// Copies every value of the source key into the destination key, in the source's
// order. Returns the registry status.
LSTATUS CopyRegistryValues(HKEY destination, HKEY source) noexcept;
