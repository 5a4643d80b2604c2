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
#include "ModalRun.h"
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

// The figures, each named by what it measures.
const Figure kCategoryWalk = {"category walk", 1.10};
const Figure kDialogFill = {"Add Filter dialog fill", 1.5};
const Figure kFilterListRefill = {"filter list refill", 1.10};
const Figure kRegistrationCopy = {"registration copy", 1.10};
const Figure kGrowthExponent = {"growth exponent", 1.1};
const double kPeakTarget = 2.0; // the registration copy's peak memory, times the large value's size

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
    const auto version = reinterpret_cast<Version>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    return version ? std::string("Wine ") + version() : std::string("not Wine");
}

// Set-up of the category walk and the Add Filter dialog's fill: the synthetic
// catalogue grown to `categories` categories.
bool GrowCatalogue(SyntheticCatalogue& catalogue, int categories)
{
    const int before = catalogue.FilterCount();
    Stopwatch setup;
    const LSTATUS status = catalogue.GrowTo(categories, kFiltersPerCategory);
    ReportLine("set-up: %d registrations written in %.1f s (%d in all, status %ld)",
               catalogue.FilterCount() - before, setup.Seconds(), catalogue.FilterCount(),
               static_cast<long>(status));
    return status == ERROR_SUCCESS;
}

// The category walk and the Add Filter dialog's fill at one size of the catalogue,
// each against its floor.
SizePoint MeasureAtSize(ICreateDevEnum* devEnum, BareTree& tree, HWND managerWindow, int registrations,
                        int runs)
{
    SizePoint point;
    point.registrations = registrations;
    point.walk = MeasureCategoryWalk(devEnum, runs);
    CatalogueRecorder recorder;
    BareWalkAllCategories(devEnum, &recorder);
    for (int run = 0; run < runs; ++run)
    {
        const TreeFill fill = FillBareTree(recorder.categories, tree);
        point.treeInsertion.push_back(fill.time);
        point.treeItems = fill.items;
        // The dialog's floor: this run's bare walk and this run's insertion.
        point.dialog.floor.push_back(point.walk.timing.floor[static_cast<size_t>(run)] + fill.time);
        point.lastOpening = OpenAddFilterDialog(managerWindow);
        point.dialog.product.push_back(point.lastOpening.filled);
    }
    return point;
}

// The category walk and the Add Filter dialog's fill at one size, with the dialog's
// tree floor between them.
void ReportSize(const SizePoint& point)
{
    const WalkCount& count = point.walk.delivered;
    const std::string size = " at " + std::to_string(point.registrations) + " registrations";
    ReportFigure(kCategoryWalk,
                 size + " (" + std::to_string(count.categories) + " categories, " +
                     std::to_string(count.filters) + " filters delivered)",
                 point.walk.timing);
    const double insertion = MedianWall(point.treeInsertion);
    ReportLine("  tree floor at %d registrations: bare walk %.3f s + sorted insertion of %d items "
               "into a bare tree %.3f s = %.3f s (insertion %.0f%%); processor time %.2f s",
               point.registrations, point.walk.timing.FloorMedian(), point.treeItems, insertion,
               point.TreeFloorWall(), 100.0 * insertion / point.TreeFloorWall(), point.TreeFloorCpu());
    const DialogOpening& opening = point.lastOpening;
    if (!opening.opened)
        ReportLine("%s%s: not measured, Add opened no dialog", kDialogFill.name, size.c_str());
    else
        ReportFigure(kDialogFill, size + " (" + std::to_string(opening.treeItems) + " tree items)",
                     point.dialog, "closing it took " + std::to_string(opening.teardown.wall) + " s more");
}

// The category walk's and the Add Filter dialog's figures, at the figure's size.
void ReportAtFigureSize(const SizePoint& point)
{
    const std::string size = ", " + std::to_string(point.registrations) + " registrations in " +
                             std::to_string(kFigureCategories) + " categories";
    ReportFigure(kCategoryWalk, size, point.walk.timing);
    if (point.lastOpening.opened)
        ReportFigure(kDialogFill, size, point.dialog);
}

// The growth exponents of the category walk and of the Add Filter dialog's fill,
// from the smallest size to the largest.
void ReportGrowthExponent(const std::vector<SizePoint>& points)
{
    if (points.size() < 2)
        return;
    const SizePoint& small = points.front();
    const SizePoint& large = points.back();
    auto exponent = [&](double smallValue, double largeValue) {
        return GrowthExponent(small.Size(), smallValue, large.Size(), largeValue);
    };
    const double target = kGrowthExponent.target;
    const double walkCpu = exponent(small.walk.timing.ProductCpu(), large.walk.timing.ProductCpu());
    ReportLine("%s from %d to %d registrations, processor time (wall): category walk %.2f "
               "(%.2f) (target <= %.2f, %s), its floor %.2f (%.2f); tree floor %.2f (%.2f), its "
               "insertion alone %.2f (%.2f)",
               kGrowthExponent.name, small.registrations, large.registrations, walkCpu,
               exponent(small.walk.timing.ProductMedian(), large.walk.timing.ProductMedian()), target,
               walkCpu <= target ? "met" : "MISSED",
               exponent(small.walk.timing.FloorCpu(), large.walk.timing.FloorCpu()),
               exponent(small.walk.timing.FloorMedian(), large.walk.timing.FloorMedian()),
               exponent(small.TreeFloorCpu(), large.TreeFloorCpu()),
               exponent(small.TreeFloorWall(), large.TreeFloorWall()),
               exponent(MedianCpu(small.treeInsertion), MedianCpu(large.treeInsertion)),
               exponent(MedianWall(small.treeInsertion), MedianWall(large.treeInsertion)));
    if (!small.lastOpening.opened || !large.lastOpening.opened)
        return;
    const double dialogCpu = exponent(small.dialog.ProductCpu(), large.dialog.ProductCpu());
    ReportLine("%s from %d to %d registrations, processor time (wall): Add Filter dialog fill "
               "%.2f (%.2f) (target <= %.2f, %s), its floor %.2f (%.2f)",
               kGrowthExponent.name, small.registrations, large.registrations, dialogCpu,
               exponent(small.dialog.ProductMedian(), large.dialog.ProductMedian()), target,
               dialogCpu <= target ? "met" : "MISSED",
               exponent(small.dialog.FloorCpu(), large.dialog.FloorCpu()),
               exponent(small.dialog.FloorMedian(), large.dialog.FloorMedian()));
}

// The category walk, the Add Filter dialog's fill and their growth exponents, over
// the catalogue grown size by size (only its smallest size when quick); the first
// two are figures at the figure's size. False when the catalogue could not be written.
bool RunCatalogueFigures(ICreateDevEnum* devEnum, BareTree& tree, HWND managerWindow, int runs, bool quick)
{
    SyntheticCatalogue catalogue;
    std::vector<SizePoint> points;
    for (int categories : kCategorySteps)
    {
        if (!GrowCatalogue(catalogue, categories))
            return false;
        if (points.empty())
        {
            // One untimed round of each walk first: the first walks of a process
            // load and register what the device enumerator needs.
            ProgramCategoryWalk(devEnum);
            BareWalkAllCategories(devEnum, nullptr);
        }
        const bool largest = categories == kCategorySteps[std::size(kCategorySteps) - 1];
        points.push_back(MeasureAtSize(devEnum, tree, managerWindow, catalogue.FilterCount(),
                                       largest ? std::min(runs, kLargestRuns) : runs));
        ReportSize(points.back());
        if (categories == kFigureCategories)
            ReportAtFigureSize(points.back());
        if (quick)
            break;
    }
    ReportGrowthExponent(points);
    return true;
}

// Set-up of the filter list refill: a vendor category of kVendorFilters filters.
void FillVendorCategory()
{
    Stopwatch setup;
    const LSTATUS status = SyntheticCatalogue::FillCategory(CLSID_ZarvVideoProcessors, kVendorFilters, 0);
    ReportLine("set-up: %d filters written into a vendor category in %.1f s (status %ld)", kVendorFilters,
               setup.Seconds(), static_cast<long>(status));
}

void ReportFilterListRefill(const FilterListFigure& list)
{
    ReportFigure(kFilterListRefill,
                 " of the manager window, " + std::to_string(kVendorFilters) +
                     " filters in a vendor category (" + std::to_string(list.listed) + " listed, " +
                     std::to_string(list.walked) + " walked)",
                 list.timing);
    ReportLine("  where it goes: the same %d names put into the same list box by bare messages "
               "%.3f s (processor %.2f s); with its redrawing off meanwhile %.3f s (processor "
               "%.2f s)",
               list.walked, list.listInsertion.wall, list.listInsertion.cpu,
               list.listInsertionWithoutRedraw.wall, list.listInsertionWithoutRedraw.cpu);
}

// The filter list refill; the vendor category is emptied again afterwards.
void RunFilterListRefill(ICreateDevEnum* devEnum, HWND managerWindow, int runs)
{
    FillVendorCategory();
    ReportFilterListRefill(MeasureFilterListRefill(managerWindow, kVendorCategoryName, devEnum,
                                                   CLSID_ZarvVideoProcessors, runs));
    SyntheticCatalogue::EmptyCategory(CLSID_ZarvVideoProcessors);
}

// Set-up of the registration copy: the large registration written.
bool WriteLargeRegistration(LargeRegistration& registration)
{
    Stopwatch setup;
    const bool written = registration.Create() == ERROR_SUCCESS;
    if (written)
        ReportLine("set-up: large registration written in %.1f s", setup.Seconds());
    else
        ReportLine("the large registration could not be written");
    return written;
}

void ReportRegistrationCopy(const RegistrationCopyFigure& copy)
{
    ReportFigure(kRegistrationCopy, ", AddFilterToCategory, 16 MiB value and 200 small values",
                 copy.inProcess,
                 std::string("status ") + std::to_string(copy.status) +
                     (copy.copiedExactly ? ", copy exact" : ", COPY DIFFERS"));
    const double valueBytes = LargeRegistration::kLargeValueBytes;
    const double mib = 1 << 20;
    const double peakRatio = copy.peakAddedBytes / valueBytes;
    const double ownShare = copy.peakAddedBytes - copy.platformReadPeakBytes;
    ReportLine("%s, peak memory added in a fresh process: program %.1f MiB = %.2f x the value "
               "(target <= %.2f, %s), floor %.1f MiB = %.2f x; the platform's read alone adds "
               "%.1f MiB, so the program's own share is %.1f MiB = %.2f x%s",
               kRegistrationCopy.name, copy.peakAddedBytes / mib, peakRatio, kPeakTarget,
               copy.peakAddedBytes >= 0 && peakRatio <= kPeakTarget ? "met" : "MISSED",
               copy.floorPeakAddedBytes / mib, copy.floorPeakAddedBytes / valueBytes,
               copy.platformReadPeakBytes / mib, ownShare / mib, ownShare / valueBytes,
               copy.freshPeak ? "" : " (peak not reset: upper bounds)");
    const double ratio = copy.asProcess.Ratio();
    ReportLine("%s, as a whole process: program %.3f s, reg copy %.3f s, ratio %.2f (target <= "
               "1.00, %s); exit codes %lu and %lu; the bare copy in the same helper program %.3f s",
               kRegistrationCopy.name, copy.asProcess.ProductMedian(), copy.asProcess.FloorMedian(), ratio,
               ratio <= 1.0 ? "met" : "MISSED", static_cast<unsigned long>(copy.processExit),
               static_cast<unsigned long>(copy.regCopyExit), MedianWall(copy.bareProcess));
}

// The registration copy; the large registration is deleted afterwards.
bool RunRegistrationCopy(int runs)
{
    LargeRegistration registration;
    if (!WriteLargeRegistration(registration))
        return false;
    ReportRegistrationCopy(MeasureRegistrationCopy(registration, runs));
    registration.Delete();
    return true;
}

int RunFigures(int runs, bool quick, HWND managerWindow)
{
    const int largestRuns = std::min(runs, kLargestRuns);
    ReportLine("scale benchmark: %s, median of %d runs (%d at the largest size); processor time "
               "%s the server's",
               WineVersion().c_str(), runs, largestRuns,
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
    if (!RunCatalogueFigures(devEnum.get(), tree, managerWindow, runs, quick))
        return 1;
    RunFilterListRefill(devEnum.get(), managerWindow, largestRuns);
    return RunRegistrationCopy(runs) ? 0 : 1;
}

// The framework's application object: the manager window is its main window
// while it runs, so the Add Filter dialog finds it as its owner.
CWinApp benchmarkApp;

// Runs every figure inside the modal run of the manager window, as the
// program runs it.
int RunBenchmark(int runs, bool quick)
{
    int result = 1;
    CZarvFMgrDlg manager;
    benchmarkApp.m_pMainWnd = &manager;
    const ModalStep figures = [&](HWND window) {
        result = RunFigures(runs, quick, window);
        manager.EndDialog(IDCANCEL);
    };
    const ModalRun run = RunInsideModal(manager, {figures});
    if (run.stepsRun != 1 || run.result != IDCANCEL)
        ReportLine("the manager window did not run (%ld)", static_cast<long>(run.result));
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
