#include "ZarvFMgrApp.h"

#include <objbase.h>
#include <commctrl.h>

#include "AppConstants.h"
#include "ZarvFMgrDlg.h"

namespace {

// The process's first act: from here on a DLL loaded by name comes from the
// system folder alone, so that a DLL saved beside the program (say, in a
// download folder) never runs inside it. The program loads no DLL of its own;
// the component runtime loads the media services from their registered paths.
// The result is not examined.
struct DllSearchRestriction
{
    DllSearchRestriction() noexcept { ::SetDefaultDllDirectories(kDllSearchFolders); }
};

// Built before any other static object: before the application object below,
// and with MinGW-w64 also before the static constructors of the runtime
// libraries, one of which (the stack protector's) sets its guard word from the
// system's crypto provider and so loads DLLs by name.
#if defined(__GNUC__)
#define ZARV_CONSTRUCTED_FIRST __attribute__((init_priority(101)))
#else
#define ZARV_CONSTRUCTED_FIRST
#endif
const DllSearchRestriction dllSearchRestriction ZARV_CONSTRUCTED_FIRST;

} // namespace

CZarvFMgrApp theApp;

// Before the entry routine runs: the main thread becomes a single-threaded
// apartment. The result is not examined.
CZarvFMgrApp::CZarvFMgrApp() noexcept
{
    ::CoInitialize(nullptr);
}

// After the entry routine has returned; the windows released every interface
// before their modal run ended.
CZarvFMgrApp::~CZarvFMgrApp()
{
    ::CoUninitialize();
}

MessageTable<CWinApp::MessageMapEntry> CZarvFMgrApp::GetMessageMap() const
{
    static const MessageMapEntry entries[] = {
        AppCommandHandler(ID_HELP, &CWinApp::OnHelp),
    };
    return entries;
}

// Runs the manager window and returns FALSE, so the program ends when it closes.
BOOL CZarvFMgrApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, kCommonControlClasses};
    ::InitCommonControlsEx(&controls);

    CWinApp::InitInstance();
    // Hosting embedded controls needs no support here: no window of the program hosts one.

    CZarvFMgrDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return FALSE;
}
