// Scale benchmark: registers a large synthetic filter catalogue in the
// registry of the Wine prefix it runs in and measures how the program's walks,
// windows and registration copy scale, each against the floor of the bare
// platform calls that do the same work. Prints one line per figure, the
// medians of several runs, as ratios taken in one run.
//
//   scale_benchmark [--runs N] [--quick]
//
// --quick stops the catalogue at its smallest size (2,000 registrations), for
// a check of the whole run in a minute or two.
//
// Run it through tools/run-benchmark, which gives it a fresh prefix of its own:
// it writes tens of thousands of keys and leaves them there.

#include <windows.h>
#include <objbase.h>
#include <dshow.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "AddFilterDialogFigure.h"
#include "BareTree.h"
#include "CategoryWalkFigure.h"
#include "ComPtr.h"
#include "FigureReport.h"
#include "FilterListFigure.h"
#include "ModalScript.h"
#include "RegistrationCopyFigure.h"
#include "SyntheticCatalogue.h"
#include "TreeFloor.h"
#include "VendorCategories.h"
#include "WinApp.h"
#include "ZarvFMgrDlg.h"

namespace {

const int kDefaultRuns = 5;
const int kLargestRuns = 3; // at 50,000 registrations, and for the filter list, to keep
                            // the run within minutes
const int kFiltersPerCategory = 100;
const int kCategorySteps[] = {20, 200, 500}; // 2,000, 20,000 and 50,000 registrations
const int kFigureCategories = 200;
const int kVendorFilters = 5000;
const char kVendorCategoryName[] = "ZARV Video Processors";
const double kWalkTarget = 1.10;
const double kDialogTarget = 1.5;
const double kListTarget = 1.10;
const double kCopyTarget = 1.10;
const double kGrowthTarget = 1.1;
const double kPeakTarget = 2.0; // times the large value's size

struct SizePoint
{
    int registrations = 0; // synthetic filters in the catalogue
    CategoryWalkFigure walk;
    std::vector<Sample> treeInsertion;
    int treeItems = 0;
    Comparison dialog; // the Add Filter dialog against the bare walk and the bare tree
    DialogOpening lastOpening;

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

SizePoint MeasureAtSize(ICreateDevEnum* devEnum, BareTree& tree, HWND managerWindow, int runs)
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
        // The dialog's floor: this run's bare walk and this run's insertion.
        Sample floor = point.walk.timing.floor[static_cast<size_t>(run)];
        floor.wall += fill.time.wall;
        floor.cpu += fill.time.cpu;
        point.dialog.floor.push_back(floor);
        point.lastOpening = OpenAddFilterDialog(managerWindow);
        point.dialog.product.push_back(point.lastOpening.filled);
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
    const DialogOpening& opening = point.lastOpening;
    if (!opening.opened)
    {
        ReportLine("Add Filter dialog at %d registrations: not measured, Add opened no dialog",
                   point.registrations);
        return;
    }
    ReportComparison("Add Filter dialog filled at " + std::to_string(point.registrations) +
                         " registrations (" + std::to_string(opening.treeItems) + " tree items)",
                     point.dialog, kDialogTarget,
                     "closing it took " + std::to_string(opening.teardown.wall) + " s more");
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
    if (!small.lastOpening.opened || !large.lastOpening.opened)
        return;
    const double dialogCpu = exponent(small.dialog.ProductCpu(), large.dialog.ProductCpu());
    ReportLine("(5) growth exponent from %d to %d registrations, processor time (wall): Add Filter "
               "dialog %.2f (%.2f) (target <= %.2f, %s), its floor %.2f (%.2f)",
               small.registrations, large.registrations, dialogCpu,
               exponent(small.dialog.ProductMedian(), large.dialog.ProductMedian()), kGrowthTarget,
               dialogCpu <= kGrowthTarget ? "met" : "MISSED",
               exponent(small.dialog.FloorCpu(), large.dialog.FloorCpu()),
               exponent(small.dialog.FloorMedian(), large.dialog.FloorMedian()));
}

void ReportCopy(const RegistrationCopyFigure& copy)
{
    ReportComparison("(4) AddFilterToCategory, 16 MiB value and 200 small values",
                     copy.inProcess, kCopyTarget,
                     std::string("status ") + std::to_string(copy.status) +
                         (copy.copiedExactly ? ", copy exact" : ", COPY DIFFERS"));
    const double valueBytes = LargeRegistration::kLargeValueBytes;
    const double mib = 1 << 20;
    const double peakRatio = copy.peakAddedBytes / valueBytes;
    const double ownShare = copy.peakAddedBytes - copy.platformReadPeakBytes;
    ReportLine("(4) peak memory added by the copy in a fresh process: program %.1f MiB = %.2f x "
               "the value (target <= %.2f, %s), floor %.1f MiB = %.2f x; the platform's read "
               "alone adds %.1f MiB, so the program's own share is %.1f MiB = %.2f x%s",
               copy.peakAddedBytes / mib, peakRatio, kPeakTarget,
               copy.peakAddedBytes >= 0 && peakRatio <= kPeakTarget ? "met" : "MISSED",
               copy.floorPeakAddedBytes / mib, copy.floorPeakAddedBytes / valueBytes,
               copy.platformReadPeakBytes / mib, ownShare / mib, ownShare / valueBytes,
               copy.freshPeak ? "" : " (peak not reset: upper bounds)");
    const double ratio = copy.asProcess.Ratio();
    ReportLine("(4) the copy as a whole process: program %.3f s, reg copy %.3f s, ratio %.2f "
               "(target <= 1.00, %s); exit codes %lu and %lu; the bare copy in the same helper "
               "program %.3f s",
               copy.asProcess.ProductMedian(), copy.asProcess.FloorMedian(), ratio,
               ratio <= 1.0 ? "met" : "MISSED", static_cast<unsigned long>(copy.processExit),
               static_cast<unsigned long>(copy.regCopyExit), MedianWall(copy.bareProcess));
}

void ReportFilterList(const FilterListFigure& list)
{
    ReportComparison("(3) manager window's filter list refilled, " +
                         std::to_string(kVendorFilters) + " filters in a vendor category (" +
                         std::to_string(list.listed) + " listed, " + std::to_string(list.walked) +
                         " walked)",
                     list.timing, kListTarget);
    ReportLine("  where it goes: the same %d names put into the same list box by bare messages "
               "%.3f s (processor %.2f s); with its redrawing off meanwhile %.3f s (processor "
               "%.2f s)",
               list.walked, list.listInsertion.wall, list.listInsertion.cpu,
               list.listInsertionWithoutRedraw.wall, list.listInsertionWithoutRedraw.cpu);
}

int RunFigures(int runs, bool quick, HWND managerWindow)
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
        if (points.empty())
        {
            // One untimed round of each walk first: the first walks of a process
            // load and register what the device enumerator needs.
            ProgramCategoryWalk(devEnum.get());
            BareWalkAllCategories(devEnum.get(), nullptr);
        }
        SizePoint point = MeasureAtSize(devEnum.get(), tree, managerWindow,
                                        largest ? std::min(runs, kLargestRuns) : runs);
        point.registrations = catalogue.FilterCount();
        ReportSize(point);
        if (categories == kFigureCategories)
            ReportComparison("(1) category walk, " + std::to_string(point.registrations) +
                                 " registrations in " + std::to_string(categories) + " categories",
                             point.walk.timing, kWalkTarget);
        if (categories == kFigureCategories && point.lastOpening.opened)
            ReportComparison("(2) Add Filter dialog filled, " + std::to_string(point.registrations) +
                                 " registrations in " + std::to_string(categories) + " categories",
                             point.dialog, kDialogTarget);
        points.push_back(point);
        if (quick)
            break;
    }
    ReportGrowth(points);

    Stopwatch vendorSetup;
    const LSTATUS vendorStatus =
        SyntheticCatalogue::FillCategory(CLSID_ZarvVideoProcessors, kVendorFilters, 0);
    ReportLine("set-up: %d filters written into a vendor category in %.1f s (status %ld)",
               kVendorFilters, vendorSetup.Seconds(), static_cast<long>(vendorStatus));
    ReportFilterList(MeasureFilterListRefill(managerWindow, kVendorCategoryName, devEnum.get(),
                                             CLSID_ZarvVideoProcessors,
                                             std::min(runs, kLargestRuns)));
    SyntheticCatalogue::EmptyCategory(CLSID_ZarvVideoProcessors);

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

// The framework's application object: the manager window is its main window
// while it runs, so the Add Filter dialog finds it as its owner.
class BenchmarkApp : public CWinApp
{
};

BenchmarkApp benchmarkApp;

// Runs every figure inside the modal run of the manager window, as the
// program runs it.
int RunBenchmark(int runs, bool quick)
{
    int result = 1;
    CZarvFMgrDlg manager;
    benchmarkApp.m_pMainWnd = &manager;
    const INT_PTR ended = RunInsideModal(manager, [&](HWND window) {
        result = RunFigures(runs, quick, window);
        manager.EndDialog(IDCANCEL);
    });
    if (ended != IDCANCEL)
        ReportLine("the manager window did not run (%ld)", static_cast<long>(ended));
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = kDefaultRuns;
    bool quick = false;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
    }

    const HRESULT hr = ::CoInitialize(nullptr);
    const int result = RunBenchmark(runs, quick);
    if (SUCCEEDED(hr))
        ::CoUninitialize();
    return result;
}
