#include "CopyHelper.h"

#include <objbase.h>

#include <cwchar>
#include <vector>

#include "FilterRegistration.h"
#include "LargeRegistration.h"
#include "PeakMemory.h"
#include "UniqueHandle.h"

namespace {

const SIZE_T kBytesPerKiB = 1024;

enum class Mode
{
    program,
    bare,
    platformRead,
};

// Reads the large value into a buffer made and touched beforehand.
LSTATUS ReadLargeValue(const LargeRegistration& registration, BYTE* buffer, DWORD size)
{
    UniqueRegKey source;
    LSTATUS status =
        ::RegOpenKeyExW(HKEY_CLASSES_ROOT, registration.SourcePath().c_str(), 0, KEY_READ, source.put());
    DWORD type = 0;
    if (status == ERROR_SUCCESS)
        status = ::RegQueryValueExW(source.get(), L"FilterData", nullptr, &type, buffer, &size);
    return status;
}

DWORD CopyOnce(Mode mode, const wchar_t* source, const wchar_t* filter, const wchar_t* target)
{
    LargeRegistration registration;
    if (::CLSIDFromString(source, &registration.sourceCategory) != S_OK ||
        ::CLSIDFromString(filter, &registration.filter) != S_OK ||
        ::CLSIDFromString(target, &registration.targetCategory) != S_OK)
        return kCopyHelperFailed;
    std::vector<BYTE> buffer(mode == Mode::platformRead ? LargeRegistration::kLargeValueBytes : 0, 1);
    LONG status = ERROR_SUCCESS;
    const SIZE_T added = PeakAddedBy([&] {
        switch (mode)
        {
        case Mode::program:
            status = AddFilterToCategory(registration.sourceCategory, registration.filter,
                                         registration.targetCategory);
            break;
        case Mode::bare:
            status = BareCopy(registration);
            break;
        case Mode::platformRead:
            status = ReadLargeValue(registration, buffer.data(), static_cast<DWORD>(buffer.size()));
            break;
        }
    });
    if (status != ERROR_SUCCESS)
        return kCopyHelperFailed;
    return static_cast<DWORD>(added / kBytesPerKiB);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5)
        return static_cast<int>(kCopyHelperFailed);
    wchar_t arguments[4][64] = {};
    for (int i = 0; i < 4; ++i)
        if (!::MultiByteToWideChar(CP_ACP, 0, argv[i + 1], -1, arguments[i], 64))
            return static_cast<int>(kCopyHelperFailed);
    Mode mode = Mode::program;
    if (std::wcscmp(arguments[0], kBareCopyHelperMode) == 0)
        mode = Mode::bare;
    else if (std::wcscmp(arguments[0], kPlatformReadHelperMode) == 0)
        mode = Mode::platformRead;
    else if (std::wcscmp(arguments[0], kCopyHelperMode) != 0)
        return static_cast<int>(kCopyHelperFailed);
    return static_cast<int>(CopyOnce(mode, arguments[1], arguments[2], arguments[3]));
}
