#include "WinApp.h"

CWinApp* CWinApp::s_pApp = nullptr;

CWinApp::CWinApp() noexcept : m_hInstance(::GetModuleHandleA(nullptr))
{
    if (!s_pApp)
        s_pApp = this;
}

CWinApp::~CWinApp()
{
    if (s_pApp == this)
        s_pApp = nullptr;
}

CWinApp* CWinApp::GetApp() noexcept
{
    return s_pApp;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    m_inMessageLoop = true;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    m_inMessageLoop = false;
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return 0;
}

bool CWinApp::OnCmdMsg(UINT id)
{
    for (const MessageMapEntry& entry : GetMessageMap())
    {
        if (entry.id == id)
        {
            (this->*entry.onCommand)();
            return true;
        }
    }
    return false;
}

void CWinApp::ReleaseMainWindow(const CWnd* window) noexcept
{
    if (!window || m_pMainWnd != window)
        return;
    m_pMainWnd = nullptr;
    if (m_inMessageLoop)
        ::PostQuitMessage(0);
}

void CWinApp::OnHelp()
{
}

MessageTable<CWinApp::MessageMapEntry> CWinApp::GetMessageMap() const
{
    return {};
}
