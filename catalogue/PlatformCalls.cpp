#include "PlatformCalls.h"

#include <shellapi.h>

PlatformCalls& Platform() noexcept
{
    static PlatformCalls calls = {&::StringFromCLSID, &::CoCreateInstance, &::RegQueryValueExW,
                                  &::ShellExecuteA, &::SystemParametersInfoA};
    return calls;
}
