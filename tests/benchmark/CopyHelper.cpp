#include "CopyHelper.h"

#include <objbase.h>
#include <shellapi.h>

#include <cwchar>

#include "FilterRegistration.h"
#include "LargeRegistration.h"
#include "PeakMemory.h"

namespace {

const SIZE_T kBytesPerKiB = 1024;

DWORD CopyOnce(bool bare, const wchar_t* source, const wchar_t* filter, const wchar_t* target)
{
    LargeRegistration registration;
    if (::CLSIDFromString(source, &registration.sourceCategory) != S_OK ||
        ::CLSIDFromString(filter, &registration.filter) != S_OK ||
        ::CLSIDFromString(target, &registration.targetCategory) != S_OK)
        return kCopyHelperFailed;
    LONG status = ERROR_SUCCESS;
    const SIZE_T added = PeakAddedBy([&] {
        status = bare ? BareCopy(registration)
                      : AddFilterToCategory(registration.sourceCategory, registration.filter,
                                            registration.targetCategory);
    });
    if (status != ERROR_SUCCESS)
        return kCopyHelperFailed;
    return static_cast<DWORD>(added / kBytesPerKiB);
}

} // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc != 5)
        return static_cast<int>(kCopyHelperFailed);
    const bool bare = std::wcscmp(argv[1], kBareCopyHelperMode) == 0;
    if (!bare && std::wcscmp(argv[1], kCopyHelperMode) != 0)
        return static_cast<int>(kCopyHelperFailed);
    const DWORD result = CopyOnce(bare, argv[2], argv[3], argv[4]);
    ::LocalFree(argv);
    return static_cast<int>(result);
}
