// Copying a large filter registration into another category: AddFilterToCategory
// against the bare reads and writes of the same values, and the peak memory
// each adds to a fresh process of this program.
//
// The registration has one large binary value and many small ones, in a source
// category of its own; its filter keys are volatile (kept in memory by the
// registry server, never saved), so that the server's periodic save stays out
// of the figures.

#include "Benchmark.h"

#include <objbase.h>
#include <psapi.h>

#include <cwchar>
#include <cstring>
#include <map>
#include <memory>
#include <new>

#include "ChildProcess.h"
#include "FilterRegistration.h"
#include "TestRegistry.h"
#include "UniqueHandle.h"

namespace {

const DWORD kLargeValueBytes = 16u << 20;
const int kSmallValues = 200;
const DWORD kNameCapacity = 1024;
const DWORD kCopyFailed = 0xFFFFFFFF; // the copy helper's exit code when it could not copy
const DWORD kBytesPerKiB = 1024;
const double kBytesPerMiB = 1024.0 * 1024.0;

const Figure kRegistrationCopy = {"registration copy", 1.10};
const double kPeakTarget = 2.0; // the copy's peak memory, as a multiple of the large value's size

// The copy helper's modes: the program's copy, the bare copy, and the
// platform's read of the large value alone into a buffer that exists already,
// which shows what that read needs of its own.
const char kProgramMode[] = "program";
const char kBareMode[] = "bare";
const char kPlatformReadMode[] = "platform-read";

struct LargeRegistration
{
    GUID source = NewGuid();
    GUID filter = NewGuid();
    GUID target = NewGuid();

    std::string SourcePath() const { return InstancePath(source, filter); }
    std::string TargetPath() const { return InstancePath(target, filter); }
};

LSTATUS WriteLargeRegistration(const LargeRegistration& registration)
{
    const std::string path = registration.SourcePath();
    LSTATUS status = CreateVolatileClassesKey(path);
    if (status == ERROR_SUCCESS)
        status =
            WriteEntry(path, GuidTextW(registration.filter), L"Synthetic filter with a large registration");
    std::unique_ptr<BYTE[]> large(new (std::nothrow) BYTE[kLargeValueBytes]);
    if (!large)
        return ERROR_NOT_ENOUGH_MEMORY;
    for (DWORD i = 0; i < kLargeValueBytes; ++i)
        large[i] = static_cast<BYTE>(i * 13 + (i >> 12));
    if (status == ERROR_SUCCESS)
        status = WriteValue(path, kFilterDataValue, REG_BINARY, large.get(), kLargeValueBytes);
    for (int i = 2; status == ERROR_SUCCESS && i < kSmallValues; ++i)
    {
        wchar_t name[32];
        std::swprintf(name, 32, L"Property %03d", i);
        wchar_t text[64];
        std::swprintf(text, 64, L"value of property %03d", i);
        const DWORD number = static_cast<DWORD>(i * 1000);
        status =
            i % 2 ? WriteValue(path, name, REG_DWORD, &number, sizeof number) : WriteString(path, name, text);
    }
    return status;
}

// Empties the target: its filter key exists, volatile and without values.
void ResetTarget(const LargeRegistration& registration)
{
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, registration.TargetPath().c_str());
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, registration.TargetPath().c_str());
    CreateVolatileClassesKey(registration.TargetPath());
}

// Every value of the key, by name.
std::map<std::wstring, RegValue> ValuesOf(const std::string& path)
{
    const auto values = ReadAllValues(path);
    return std::map<std::wstring, RegValue>(values.begin(), values.end());
}

// The floor of the copy: the platform calls that read every value of the
// source key and write it into the target key, and nothing else.
LSTATUS BareCopy(const LargeRegistration& registration)
{
    UniqueRegKey source;
    LSTATUS status =
        ::RegOpenKeyExA(HKEY_CLASSES_ROOT, registration.SourcePath().c_str(), 0, KEY_READ, source.put());
    UniqueRegKey target;
    if (status == ERROR_SUCCESS)
        status = ::RegCreateKeyA(HKEY_CLASSES_ROOT, registration.TargetPath().c_str(), target.put());
    for (DWORD index = 0; status == ERROR_SUCCESS; ++index)
    {
        wchar_t name[kNameCapacity];
        DWORD length = kNameCapacity - 1;
        status = ::RegEnumValueW(source.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        DWORD type = 0;
        DWORD size = 0;
        if (status == ERROR_SUCCESS)
            status = ::RegQueryValueExW(source.get(), name, nullptr, &type, nullptr, &size);
        std::unique_ptr<BYTE[]> data(new (std::nothrow) BYTE[size ? size : 1]);
        if (status == ERROR_SUCCESS && !data)
            status = ERROR_NOT_ENOUGH_MEMORY;
        if (status == ERROR_SUCCESS)
            status = ::RegQueryValueExW(source.get(), name, nullptr, &type, data.get(), &size);
        if (status == ERROR_SUCCESS)
            status = ::RegSetValueExW(target.get(), name, 0, type, data.get(), size);
    }
    return status;
}

SIZE_T WorkingSet(SIZE_T PROCESS_MEMORY_COUNTERS::*measure)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.*measure;
}

// The peak memory that one copy in the mode adds to a fresh process of this
// program, in bytes: its peak working set after the copy above its working set
// before, the process's peak so far being its start-up's. Negative when the
// copy failed.
double PeakOfCopy(const char* mode, const LargeRegistration& registration)
{
    ResetTarget(registration);
    wchar_t program[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::string arguments =
        Format(" %s %s %s %s %s", kCopyPeakSwitch, mode, GuidText(registration.source).c_str(),
               GuidText(registration.filter).c_str(), GuidText(registration.target).c_str());
    DWORD kib = kCopyFailed;
    if (!RunToExit(L"\"" + std::wstring(program) + L"\"" + std::wstring(arguments.begin(), arguments.end()),
                   kib))
        return -1.0;
    return kib == kCopyFailed ? -1.0 : static_cast<double>(kib) * kBytesPerKiB;
}

bool ParseGuid(const char* text, GUID& guid)
{
    const std::wstring wide(text, text + std::strlen(text));
    return ::CLSIDFromString(wide.c_str(), &guid) == S_OK;
}

} // namespace

bool RunRegistrationCopy(int runs)
{
    const LargeRegistration registration;
    // The categories' keys are deleted again afterwards.
    const ScopedClassesKey source(ClassPath(registration.source));
    const ScopedClassesKey target(ClassPath(registration.target));
    const Sample start = Now();
    if (WriteLargeRegistration(registration) != ERROR_SUCCESS)
    {
        ReportLine("the large registration could not be written");
        return false;
    }
    ReportLine(Format("set-up: large registration written in %.1f s", (Now() - start).wall));

    LONG status = 0;
    bool exact = false;
    const Comparison copy = Compare(
        runs,
        [&] {
            ResetTarget(registration);
            const Sample time = TimeOf([&] {
                status = AddFilterToCategory(registration.source, registration.filter, registration.target);
            });
            exact = ValuesOf(registration.SourcePath()) == ValuesOf(registration.TargetPath());
            return time;
        },
        [&] {
            ResetTarget(registration);
            return TimeOf([&] { BareCopy(registration); });
        });
    ReportFigure(
        kRegistrationCopy, ", AddFilterToCategory, 16 MiB value and 200 small values", copy,
        Format("status %ld%s", static_cast<long>(status), exact ? ", copy exact" : ", COPY DIFFERS"));

    std::vector<double> peaks;
    std::vector<double> floorPeaks;
    std::vector<double> readPeaks;
    for (int run = 0; run < runs; ++run)
    {
        peaks.push_back(PeakOfCopy(kProgramMode, registration));
        floorPeaks.push_back(PeakOfCopy(kBareMode, registration));
        readPeaks.push_back(PeakOfCopy(kPlatformReadMode, registration));
    }
    const double peak = Median(peaks);
    const double floorPeak = Median(floorPeaks);
    const double readPeak = Median(readPeaks);
    const double ownShare = peak - readPeak;
    ReportLine(Format("%s, peak memory added in a fresh process: program %.1f MiB = %.2f x the value "
                      "(target <= %.2f, %s), floor %.1f MiB = %.2f x; the platform's read alone adds "
                      "%.1f MiB, so the program's own share is %.1f MiB = %.2f x",
                      kRegistrationCopy.name, peak / kBytesPerMiB, peak / kLargeValueBytes, kPeakTarget,
                      peak >= 0 ? Verdict(peak / kLargeValueBytes, kPeakTarget) : "MISSED",
                      floorPeak / kBytesPerMiB, floorPeak / kLargeValueBytes, readPeak / kBytesPerMiB,
                      ownShare / kBytesPerMiB, ownShare / kLargeValueBytes));
    return true;
}

int RunCopyPeak(char** arguments, int count)
{
    LargeRegistration registration;
    if (count != 4 || !ParseGuid(arguments[1], registration.source) ||
        !ParseGuid(arguments[2], registration.filter) || !ParseGuid(arguments[3], registration.target))
        return static_cast<int>(kCopyFailed);
    const char* mode = arguments[0];
    // The platform's read goes into a buffer made and touched beforehand.
    std::vector<BYTE> buffer(std::strcmp(mode, kPlatformReadMode) == 0 ? kLargeValueBytes : 0, 1);
    LSTATUS status = ERROR_INVALID_PARAMETER;
    const SIZE_T before = WorkingSet(&PROCESS_MEMORY_COUNTERS::WorkingSetSize);
    if (std::strcmp(mode, kProgramMode) == 0)
        status = AddFilterToCategory(registration.source, registration.filter, registration.target);
    else if (std::strcmp(mode, kBareMode) == 0)
        status = BareCopy(registration);
    else if (!buffer.empty())
    {
        DWORD size = kLargeValueBytes;
        const UniqueRegKey source = OpenClassesKey(registration.SourcePath());
        status = ::RegQueryValueExW(source.get(), kFilterDataValue, nullptr, nullptr, buffer.data(), &size);
    }
    const SIZE_T peak = WorkingSet(&PROCESS_MEMORY_COUNTERS::PeakWorkingSetSize);
    if (status != ERROR_SUCCESS)
        return static_cast<int>(kCopyFailed);
    return static_cast<int>((peak > before ? peak - before : 0) / kBytesPerKiB);
}
