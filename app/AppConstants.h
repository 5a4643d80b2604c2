#pragma once
// Constants of the application object and the manager window.

#include <windows.h>
#include <objbase.h>
#include <commctrl.h>

// Title text that the About box puts into its product line.
constexpr char kAboutBoxTitle[] = "Multimedia Filter Manager";

// Where the program's process looks for a DLL loaded by name: the system
// folder alone, never the program's own folder or the current one.
constexpr DWORD kDllSearchFolders = LOAD_LIBRARY_SEARCH_SYSTEM32;

// Common control classes initialised at start-up.
constexpr DWORD kCommonControlClasses = ICC_WIN95_CLASSES;

// Class context in which the manager window creates its two media services.
constexpr DWORD kServiceClassContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;

// The system uses the four low bits of a system command identifier itself.
constexpr WPARAM kSysCommandMask = 0xFFF0;

// Result of the manager window when a media service cannot be created.
constexpr INT_PTR kStartFailed = -1;

// Room for the text of the system menu's About item.
constexpr int kMenuTextCapacity = 256;
