// The program's entry routine: runs the application object.
#include "WinApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    CWinApp* app = CWinApp::GetApp();
    if (!app)
        return -1;
    app->m_hInstance = hInstance;
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
