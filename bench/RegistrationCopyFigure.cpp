#include "RegistrationCopyFigure.h"

#include <objbase.h>

#include <vector>

#include "ChildProcess.h"
#include "FilterRegistration.h"
#include "PeakMemory.h"
#include "Stopwatch.h"
#include "SyntheticCatalogue.h"

namespace {

const DWORD kBytesPerKiB = 1024;

std::wstring HelperCommand(const wchar_t* mode, const LargeRegistration& registration)
{
    std::wstring program = ThisProgram();
    program.erase(program.find_last_of(L'\\') + 1);
    program += kCopyHelperProgram;
    return L"\"" + program + L"\" " + mode + L" " + ClsidTextW(registration.sourceCategory) + L" " +
           ClsidTextW(registration.filter) + L" " + ClsidTextW(registration.targetCategory);
}

std::wstring RegCopyCommand(const LargeRegistration& registration)
{
    return L"reg.exe copy \"HKCR\\" + registration.SourcePath() + L"\" \"HKCR\\" + registration.TargetPath() +
           L"\" /s /f";
}

double PeakOfHelper(const wchar_t* mode, const LargeRegistration& registration)
{
    registration.ResetTarget();
    const ChildRun run = RunChild(HelperCommand(mode, registration));
    if (!run.started || run.exitCode == kCopyHelperFailed)
        return -1.0;
    return static_cast<double>(run.exitCode) * kBytesPerKiB;
}

} // namespace

RegistrationCopyFigure MeasureRegistrationCopy(LargeRegistration& registration, int runs)
{
    RegistrationCopyFigure figure;
    figure.inProcess = Compare(
        runs,
        [&] {
            registration.ResetTarget();
            Stopwatch watch;
            figure.status = AddFilterToCategory(registration.sourceCategory, registration.filter,
                                                registration.targetCategory);
            const Sample sample = watch.Elapsed();
            figure.copiedExactly = registration.TargetMatchesSource();
            return sample;
        },
        [&] {
            registration.ResetTarget();
            return TimeOf([&] { BareCopy(registration); });
        });

    figure.asProcess = Compare(
        runs,
        [&] {
            registration.ResetTarget();
            const ChildRun run = RunChild(HelperCommand(kCopyHelperMode, registration));
            figure.processExit = run.exitCode;
            return run.time;
        },
        [&] {
            registration.ResetTarget();
            const ChildRun run = RunChild(RegCopyCommand(registration));
            figure.regCopyExit = run.exitCode;
            if (run.exitCode == 0 && !registration.TargetMatchesSource())
                figure.regCopyExit = kCopyHelperFailed;
            registration.ResetTarget();
            figure.bareProcess.push_back(RunChild(HelperCommand(kBareCopyHelperMode, registration)).time);
            return run.time;
        });

    std::vector<double> peaks;
    std::vector<double> floorPeaks;
    std::vector<double> platformPeaks;
    for (int run = 0; run < runs; ++run)
    {
        peaks.push_back(PeakOfHelper(kCopyHelperMode, registration));
        floorPeaks.push_back(PeakOfHelper(kBareCopyHelperMode, registration));
        platformPeaks.push_back(PeakOfHelper(kPlatformReadHelperMode, registration));
    }
    figure.peakAddedBytes = Median(peaks);
    figure.floorPeakAddedBytes = Median(floorPeaks);
    figure.platformReadPeakBytes = Median(platformPeaks);
    figure.freshPeak = PeakMemory::ResetPeak();
    return figure;
}
