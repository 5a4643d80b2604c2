// Scale benchmark: registers a large synthetic filter catalogue in the
// registry of the Wine prefix it runs in and measures how the program's walks,
// windows and registration copy scale, each against the floor of the bare
// platform calls that do the same work. Prints one line per figure, the
// medians of several runs, as ratios taken in one run.
//
//   scale_benchmark [--runs N]
//
// Run it through tools/run-benchmark, which gives it a fresh prefix of its own:
// it writes tens of thousands of keys and leaves them there.

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <dshow.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "BareTree.h"
#include "CategoryWalkFigure.h"
#include "ComPtr.h"
#include "FigureReport.h"
#include "RegistrationCopyFigure.h"
#include "SyntheticCatalogue.h"
#include "TreeFloor.h"

namespace {

const int kDefaultRuns = 5;
const int kFiltersPerCategory = 100;
const int kCategorySteps[] = {20, 200, 500}; // 2,000, 20,000 and 50,000 registrations
const int kFigureCategories = 200;
const double kWalkTarget = 1.10;
const double kDialogTarget = 1.5;
const double kCopyTarget = 1.10;
const double kGrowthTarget = 1.1;
const double kPeakTarget = 2.0; // times the large value's size

struct SizePoint
{
    int registrations = 0; // synthetic filters in the catalogue
    CategoryWalkFigure walk;
    std::vector<double> treeFloor;
    int treeItems = 0;
};

std::string WineVersion()
{
    using Version = const char*(CDECL*)();
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto version =
        ntdll ? reinterpret_cast<Version>(
                    reinterpret_cast<void*>(::GetProcAddress(ntdll, "wine_get_version")))
              : nullptr;
    return version ? std::string("Wine ") + version() : std::string("not Wine");
}

SizePoint MeasureAtSize(ICreateDevEnum* devEnum, BareTree& tree, int runs)
{
    SizePoint point;
    point.walk = MeasureCategoryWalk(devEnum, runs);
    for (int run = 0; run < runs; ++run)
    {
        const TreeFloorRun filled = FillBareTree(devEnum, tree);
        point.treeFloor.push_back(filled.seconds);
        point.treeItems = filled.items;
    }
    return point;
}

void ReportSize(const SizePoint& point)
{
    const WalkCount& count = point.walk.delivered;
    ReportComparison("category walk at " + std::to_string(point.registrations) +
                         " registrations (" + std::to_string(count.categories) + " categories, " +
                         std::to_string(count.filters) + " filters delivered)",
                     point.walk.timing, kWalkTarget);
    const double walkFloor = point.walk.timing.FloorMedian();
    const double treeFloor = Median(point.treeFloor);
    ReportLine("  tree floor at %d registrations: bare walk into a bare tree %.3f s (%d items), of "
               "which sorted insertion %.3f s (%.0f%%)",
               point.registrations, treeFloor, point.treeItems, treeFloor - walkFloor,
               treeFloor > 0 ? 100.0 * (treeFloor - walkFloor) / treeFloor : 0.0);
}

void ReportGrowth(const std::vector<SizePoint>& points)
{
    if (points.size() < 2)
        return;
    const SizePoint& small = points.front();
    const SizePoint& large = points.back();
    const double smallSize = small.walk.floorCount.filters + small.walk.floorCount.categories;
    const double largeSize = large.walk.floorCount.filters + large.walk.floorCount.categories;
    const double program = GrowthExponent(smallSize, small.walk.timing.ProductMedian(), largeSize,
                                          large.walk.timing.ProductMedian());
    const double floor = GrowthExponent(smallSize, small.walk.timing.FloorMedian(), largeSize,
                                        large.walk.timing.FloorMedian());
    const double tree = GrowthExponent(smallSize, Median(small.treeFloor), largeSize,
                                       Median(large.treeFloor));
    ReportLine("(5) growth exponent from %d to %d registrations: category walk %.2f (target <= "
               "%.2f, %s), its floor %.2f; tree floor %.2f",
               small.registrations, large.registrations, program, kGrowthTarget,
               program <= kGrowthTarget ? "met" : "MISSED", floor, tree);
}

void ReportCopy(const RegistrationCopyFigure& copy)
{
    ReportComparison("(4) AddFilterToCategory, 16 MiB value and 200 small values",
                     copy.inProcess, kCopyTarget,
                     std::string("status ") + std::to_string(copy.status) +
                         (copy.copiedExactly ? ", copy exact" : ", COPY DIFFERS"));
    const double valueBytes = LargeRegistration::kLargeValueBytes;
    const double peakRatio = copy.peakAddedBytes / valueBytes;
    ReportLine("(4) peak memory added by the copy in a fresh process: program %.1f MiB = %.2f x "
               "the value (target <= %.2f, %s), floor %.1f MiB = %.2f x%s",
               copy.peakAddedBytes / (1 << 20), peakRatio, kPeakTarget,
               copy.peakAddedBytes >= 0 && peakRatio <= kPeakTarget ? "met" : "MISSED",
               copy.floorPeakAddedBytes / (1 << 20), copy.floorPeakAddedBytes / valueBytes,
               copy.freshPeak ? "" : " (peak not reset: upper bound)");
    const double ratio = copy.asProcess.Ratio();
    ReportLine("(4) the copy as a whole process: program %.3f s, reg copy %.3f s, ratio %.2f "
               "(target <= 1.00, %s); exit codes %lu and %lu",
               copy.asProcess.ProductMedian(), copy.asProcess.FloorMedian(), ratio,
               ratio <= 1.0 ? "met" : "MISSED", static_cast<unsigned long>(copy.processExit),
               static_cast<unsigned long>(copy.regCopyExit));
}

int RunBenchmark(int runs)
{
    ReportLine("scale benchmark: %s, median of %d runs", WineVersion().c_str(), runs);
    ComPtr<ICreateDevEnum> devEnum;
    if (FAILED(::CoCreateInstance(CLSID_SystemDeviceEnum, nullptr,
                                  CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_ICreateDevEnum,
                                  devEnum.put_void())))
    {
        ReportLine("no system device enumerator");
        return 1;
    }
    BareTree tree;
    if (!tree.IsOpen())
    {
        ReportLine("no tree view");
        return 1;
    }

    SyntheticCatalogue catalogue;
    std::vector<SizePoint> points;
    for (int categories : kCategorySteps)
    {
        const int before = catalogue.FilterCount();
        Stopwatch setup;
        const LSTATUS status = catalogue.GrowTo(categories, kFiltersPerCategory);
        ReportLine("set-up: %d registrations written in %.1f s (%d in all, status %ld)",
                   catalogue.FilterCount() - before, setup.Seconds(), catalogue.FilterCount(),
                   static_cast<long>(status));
        if (status != ERROR_SUCCESS)
            return 1;
        SizePoint point = MeasureAtSize(devEnum.get(), tree, runs);
        point.registrations = catalogue.FilterCount();
        ReportSize(point);
        if (categories == kFigureCategories)
            ReportComparison("(1) category walk, " + std::to_string(point.registrations) +
                                 " registrations in " + std::to_string(categories) + " categories",
                             point.walk.timing, kWalkTarget);
        points.push_back(point);
    }
    ReportGrowth(points);

    LargeRegistration registration;
    Stopwatch setup;
    if (registration.Create() != ERROR_SUCCESS)
    {
        ReportLine("the large registration could not be written");
        return 1;
    }
    ReportLine("set-up: large registration written in %.1f s", setup.Seconds());
    ReportCopy(MeasureRegistrationCopy(registration, runs));
    registration.Delete();
    return 0;
}

} // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv)
        return 1;
    if (argc == 5 && (std::wcscmp(argv[1], kCopyHelperMode) == 0 ||
                      std::wcscmp(argv[1], kBareCopyHelperMode) == 0))
        return static_cast<int>(RunCopyHelper(std::wcscmp(argv[1], kBareCopyHelperMode) == 0,
                                              argv[2], argv[3], argv[4]));
    int runs = kDefaultRuns;
    if (argc == 3 && std::wcscmp(argv[1], L"--runs") == 0)
        runs = std::max(1, static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
    ::LocalFree(argv);

    const HRESULT hr = ::CoInitialize(nullptr);
    const int result = RunBenchmark(runs);
    if (SUCCEEDED(hr))
        ::CoUninitialize();
    return result;
}
