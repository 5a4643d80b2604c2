#pragma once
// The application object: keeps DLL loads by name to the system folder,
// initialises the component runtime for the main thread, runs the manager
// window modally, and ends the program when that window closes. There is no
// message loop of the application's own.

#include "WinApp.h"

class CZarvFMgrApp : public CWinApp
{
public:
    CZarvFMgrApp() noexcept;
    ~CZarvFMgrApp() override;

protected:
    MessageTable<MessageMapEntry> GetMessageMap() const override;
    BOOL InitInstance() override;
};

extern CZarvFMgrApp theApp;
