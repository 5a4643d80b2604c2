#include "PlatformCalls.h"

PlatformCalls& Platform() noexcept
{
    static PlatformCalls calls = {&::StringFromCLSID, &::CoCreateInstance, &::RegQueryValueExW};
    return calls;
}
