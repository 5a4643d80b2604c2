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
const int kLargestRuns = 3; // at 50,000 registrations, to keep the run within minutes
const int kFiltersPerCategory = 100;
const int kCategorySteps[] = {20, 200, 500}; // 2,000, 20,000 and 50,000 registrations
const int kFigureCategories = 200;
const double kWalkTarget = 1.10;
const double kCopyTarget = 1.10;
const double kGrowthTarget = 1.1;
const double kPeakTarget = 2.0; // times the large value's size

struct SizePoint
{
    int registrations = 0; // synthetic filters in the catalogue
    CategoryWalkFigure walk;
    std::vector<Sample> treeInsertion;
    int treeItems = 0;

    double Size() const { return walk.floorCount.filters + walk.floorCount.categories; }
    double TreeFloorWall() const { return walk.timing.FloorMedian() + MedianWall(treeInsertion); }
    double TreeFloorCpu() const { return walk.timing.FloorCpu() + MedianCpu(treeInsertion); }
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
    CatalogueRecorder recorder;
    BareWalkAllCategories(devEnum, &recorder);
    for (int run = 0; run < runs; ++run)
    {
        const TreeFill fill = FillBareTree(recorder.categories, tree);
        point.treeInsertion.push_back(fill.time);
        point.treeItems = fill.items;
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
    const double insertion = MedianWall(point.treeInsertion);
    ReportLine("  tree floor at %d registrations: bare walk %.3f s + sorted insertion of %d items "
               "into a bare tree %.3f s = %.3f s (insertion %.0f%%); processor time %.2f s",
               point.registrations, point.walk.timing.FloorMedian(), point.treeItems, insertion,
               point.TreeFloorWall(), 100.0 * insertion / point.TreeFloorWall(),
               point.TreeFloorCpu());
}

void ReportGrowth(const std::vector<SizePoint>& points)
{
    if (points.size() < 2)
        return;
    const SizePoint& small = points.front();
    const SizePoint& large = points.back();
    auto exponent = [&](double smallValue, double largeValue) {
        return GrowthExponent(small.Size(), smallValue, large.Size(), largeValue);
    };
    const double walkCpu = exponent(small.walk.timing.ProductCpu(), large.walk.timing.ProductCpu());
    ReportLine("(5) growth exponent from %d to %d registrations, processor time (wall): category "
               "walk %.2f (%.2f) (target <= %.2f, %s), its floor %.2f (%.2f); tree floor %.2f "
               "(%.2f), its insertion alone %.2f (%.2f)",
               small.registrations, large.registrations, walkCpu,
               exponent(small.walk.timing.ProductMedian(), large.walk.timing.ProductMedian()),
               kGrowthTarget, walkCpu <= kGrowthTarget ? "met" : "MISSED",
               exponent(small.walk.timing.FloorCpu(), large.walk.timing.FloorCpu()),
               exponent(small.walk.timing.FloorMedian(), large.walk.timing.FloorMedian()),
               exponent(small.TreeFloorCpu(), large.TreeFloorCpu()),
               exponent(small.TreeFloorWall(), large.TreeFloorWall()),
               exponent(MedianCpu(small.treeInsertion), MedianCpu(large.treeInsertion)),
               exponent(MedianWall(small.treeInsertion), MedianWall(large.treeInsertion)));
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
    ReportLine("scale benchmark: %s, median of %d runs (%d at the largest size); processor time "
               "%s the server's",
               WineVersion().c_str(), runs, std::min(runs, kLargestRuns),
               Cpu().CountsServer() ? "includes" : "does not include");
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
        const bool largest = categories == kCategorySteps[std::size(kCategorySteps) - 1];
        SizePoint point = MeasureAtSize(devEnum.get(), tree, largest ? std::min(runs, kLargestRuns) : runs);
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
    int runs = kDefaultRuns;
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv && argc == 3 && std::wcscmp(argv[1], L"--runs") == 0)
        runs = std::max(1, static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
    if (argv)
        ::LocalFree(argv);

    const HRESULT hr = ::CoInitialize(nullptr);
    const int result = RunBenchmark(runs);
    if (SUCCEEDED(hr))
        ::CoUninitialize();
    return result;
}
