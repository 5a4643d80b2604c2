#pragma once
// The file that serves a class in-process: the default value of its
// "CLSID\{clsid}\InprocServer32" key under HKEY_CLASSES_ROOT. Only read, and
// only when asked for.

#include <windows.h>

// Room for the file's name, terminating zero included: the longest path the
// platform can name.
constexpr DWORD kServerFileCapacity = 32768;

// Reads the file's name as 8-bit text in the system's ANSI code page, expanded
// where the value is a REG_EXPAND_SZ; an empty value gives empty text. Returns
// 0, or the registry's error number with empty text: ERROR_FILE_NOT_FOUND
// without the key or the value, ERROR_INVALID_DATATYPE for a value that is not
// a string, ERROR_MORE_DATA for a name longer than the room, or the error that
// kept the key from being opened. A negative status: the CLSID could not be put
// into text.
LONG ReadServerFile(REFCLSID clsid, char (&file)[kServerFileCapacity]) noexcept;
