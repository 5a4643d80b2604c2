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

#include "Benchmark.h"

#include <objbase.h>
#include <uuids.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ComPtr.h"
#include "ModalRun.h"
#include "WinApp.h"
#include "ZarvFMgrDlg.h"

namespace {

const int kDefaultRuns = 5;
const int kLargestRuns = 3; // at 50,000 registrations, and for the filter list, to keep
                            // the run within minutes

std::string WineVersion()
{
    using Version = const char*(CDECL*)();
    const auto version = reinterpret_cast<Version>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    return version ? std::string("Wine ") + version() : std::string("not Wine");
}

int RunFigures(int runs, bool quick, HWND managerWindow)
{
    const int largestRuns = std::min(runs, kLargestRuns);
    ReportLine(Format("scale benchmark: %s, median of %d runs (%d at the largest size); processor time "
                      "%s the server's",
                      WineVersion().c_str(), runs, largestRuns,
                      CpuCountsServers() ? "includes" : "does not include"));
    ComPtr<ICreateDevEnum> devEnum;
    if (FAILED(::CoCreateInstance(CLSID_SystemDeviceEnum, nullptr,
                                  CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_ICreateDevEnum,
                                  devEnum.put_void())))
    {
        ReportLine("no system device enumerator");
        return 1;
    }
    if (!RunCatalogueFigures(devEnum.get(), managerWindow, runs, largestRuns, quick))
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
        ReportLine(Format("the manager window did not run (%ld)", static_cast<long>(run.result)));
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], kCopyPeakSwitch) == 0)
        return RunCopyPeak(argv + 2, argc - 2);
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
