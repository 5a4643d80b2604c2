#include "ZarvFMgrApp.h"

#include <objbase.h>
#include <commctrl.h>

#include "AppConstants.h"
#include "ZarvFMgrDlg.h"

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
