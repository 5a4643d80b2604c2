#pragma once
// The application object: exactly one per program, a static object that exists
// before the entry routine (WinMain.cpp) runs and after it returns.
//
// The entry routine calls InitInstance. When it returns FALSE there is no
// message loop: the program runs ExitInstance and ends. Otherwise Run pumps
// messages until the main window is destroyed, then runs ExitInstance.

#include <windows.h>

#include <type_traits>

#include "MessageTable.h"
#include "Wnd.h"

// The standard help command.
constexpr UINT ID_HELP = 0xE146;

class CWinApp
{
public:
    // One entry of the application's command table: commands that no window
    // handled end up here.
    struct MessageMapEntry
    {
        UINT id;
        void (CWinApp::*onCommand)();
    };

    // The first application object constructed is the program's one; the
    // program defines no other.
    CWinApp() noexcept;
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The program's application object, or null before it is constructed.
    static CWinApp* GetApp() noexcept;

    // Instance initialisation: TRUE to go on with the message loop.
    virtual BOOL InitInstance();
    // The message loop; returns the exit code from ExitInstance.
    virtual int Run();
    // Exit processing; returns the exit code. The framework keeps no settings.
    virtual int ExitInstance();

    // Runs the handler of the application's command table for the command;
    // false when the table has none.
    bool OnCmdMsg(UINT id);

    // Clears the main-window designation when it names this window (called as
    // the window is destroyed, and when its object goes).
    void ReleaseMainWindow(const CWnd* window) noexcept;

    // Default handling of the help command: there is no help content.
    void OnHelp();

    HINSTANCE m_hInstance;      // the module that holds the resources
    CWnd* m_pMainWnd = nullptr; // the main window while it exists

protected:
    virtual MessageTable<MessageMapEntry> GetMessageMap() const;

private:
    bool m_inMessageLoop = false;
    static CWinApp* s_pApp;
};

// A command table entry bound to a member of the application class A.
template <typename A>
CWinApp::MessageMapEntry AppCommandHandler(UINT id, void (A::*handler)())
{
    static_assert(std::is_base_of_v<CWinApp, A>, "the handler must belong to an application class");
    return {id, static_cast<void (CWinApp::*)()>(handler)};
}
