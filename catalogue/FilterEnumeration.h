#pragma once
// Walks of the platform's system device enumerator that turn monikers into
// named CLSIDs for the windows. Both only read; failures only reduce what is
// delivered.

#include <windows.h>
#include <strmif.h>

#include "NamedClsid.h"

// Delivers one entry for each filter category registered on the machine (each
// member of CLSID_ActiveMovieCategories), through a device enumerator of its own.
void EnumerateFilterCategories(NamedClsidConsumer consumer);

// Delivers one entry for each filter that the category's moniker enumerator
// yields; a null enumerator delivers nothing.
void EnumerateCategoryFilters(IEnumMoniker* enumerator, NamedClsidConsumer consumer);
