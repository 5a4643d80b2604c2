#pragma once
// A filter registration with one large binary value and many small ones, in a
// source category of its own, and the target category it is copied into.
// Every key that carries data is volatile (kept in memory by the registry
// server, never saved), so that the server's periodic save stays out of the
// figures.

#include <windows.h>

#include <string>

struct LargeRegistration
{
    static const DWORD kLargeValueBytes = 16u << 20;
    static const int kSmallValues = 200;

    CLSID sourceCategory{};
    CLSID filter{};
    CLSID targetCategory{};

    // Writes the source key. Returns the registry status.
    LSTATUS Create();
    // Empties the target: its filter key exists, volatile and without values.
    LSTATUS ResetTarget() const;
    // Removes both categories' keys.
    void Delete() const;

    // True when the target key holds every value of the source key, same
    // types and bytes.
    bool TargetMatchesSource() const;

    std::wstring SourcePath() const;
    std::wstring TargetPath() const;
};

// The floor of the copy: the platform calls that read every value of the
// source key and write it into the target key, and nothing else.
LSTATUS BareCopy(const LargeRegistration& registration);
