#pragma once
// Drives the program's windows in-process through real messages to their
// controls, inside their modal loops (ModalRun.h), and reports failures at the
// line of the test that called: pass HERE.

#include <gtest/gtest.h>

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "Dialog.h"
#include "ModalRun.h"
#include "TestHost.h"
#include "TestRegistry.h"
#include "resource.h"

// The caller's line, for failures that a helper finds.
struct Here
{
    const char* file;
    int line;
};
#define HERE (Here{__FILE__, __LINE__})

// Runs the dialog modally, as the application's main window, with the steps
// inside its loop once it is shown; a window the steps leave open is then
// cancelled. Returns the modal result; fails when the window never came up.
INT_PTR RunModal(Here here, CDialog& dialog, const ModalStep& steps);

// The manager window: the names of its categories, its two lists (also of the
// program's window in a process of its own), and a run of a manager window of
// the test's own as RunModal runs it, with the video category listed first for
// RunManagerOnVideo.
constexpr char kAudio[] = "ZARV Audio Processors";
constexpr char kVideo[] = "ZARV Video Processors";
inline HWND Categories(HWND manager)
{
    return ::GetDlgItem(manager, IDC_CATEGORY_LIST);
}
inline HWND Filters(HWND manager)
{
    return ::GetDlgItem(manager, IDC_FILTER_LIST);
}
INT_PTR RunManager(Here here, const ModalStep& steps);
void RunManagerOnVideo(Here here, const ModalStep& steps);

// Calls `open`, which runs a dialog that `owner` owns, and the steps inside the
// dialog's loop, one per tick. Fails unless every step ran and the steps ended
// the dialog. Returns the dialog's result.
INT_PTR RunOwnedDialog(Here here, HWND owner, std::vector<ModalStep> steps,
                       const std::function<INT_PTR()>& open);

// A click on a list entry, or on a push button, as the mouse would make it.
void ClickListItem(HWND list, int index);
void ClickButton(HWND button);

// The texts of a list box, top to bottom, read with the wide messages, which
// also reach a list box of another process (the tests' texts are ASCII); the
// index of the first entry with this text, or -1.
inline std::vector<std::string> ListTexts(HWND list)
{
    std::vector<std::string> texts;
    for (int index = 0, count = ListBox_GetCount(list); index < count; ++index)
    {
        const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, index, 0);
        std::vector<wchar_t> text(length > 0 ? static_cast<size_t>(length) + 1 : 1);
        ::SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        texts.push_back(AsciiText(text.data()));
    }
    return texts;
}
int FindListText(HWND list, const std::string& text);

// Whether the texts are in order by this comparison (lstrcmpA, lstrcmpiA).
inline bool IsSortedBy(const std::vector<std::string>& texts, int(WINAPI* compare)(LPCSTR, LPCSTR))
{
    return std::is_sorted(texts.begin(), texts.end(), [compare](const std::string& a, const std::string& b) {
        return compare(a.c_str(), b.c_str()) < 0;
    });
}

// The CLSID that a list entry's data word refers to (null for none); the
// indexes of the entries that carry this CLSID.
const CLSID* ListEntryClsid(HWND list, int index);
std::vector<int> ListEntriesOf(HWND list, REFCLSID clsid);
// The texts of the entries that carry this CLSID, top to bottom: whether it is
// listed, how often, and as what.
Names ListedNames(HWND list, REFCLSID clsid);

// The window's text, through WM_GETTEXT for a window of this process.
inline std::string WindowText(HWND window)
{
    std::string text(1024, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

inline POINT Centre(const RECT& rect)
{
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Mouse input at a point of the window's client area, through the input queue
// as the mouse makes it: the pointer moves there, with one event for each of
// the flags given (0 for the move alone, MOUSEEVENTF_LEFTDOWN and the rest).
// Returns the number of events sent.
UINT SendPointerInput(HWND window, POINT at, std::initializer_list<DWORD> flags = {0});

// Handles this thread's messages until `done` holds or about `milliseconds`
// have passed; whether it held.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 2000);

// An icon's width in pixels; 0 for a handle that is no icon (any more).
inline int IconWidth(HICON icon)
{
    ICONINFO info = {};
    if (!icon || !::GetIconInfo(icon, &info))
        return 0;
    const UniqueBitmap mask(info.hbmMask), colour(info.hbmColor); // the icon's copies, for the caller to free
    BITMAP shape = {};
    ::GetObjectA(mask.get(), sizeof shape, &shape);
    return shape.bmWidth;
}

// The window's big and small icons.
inline std::pair<HICON, HICON> WindowIcons(HWND window)
{
    return {reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, ICON_BIG, 0)),
            reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, ICON_SMALL, 0))};
}

inline bool IsItemEnabled(HWND dialog, int id)
{
    return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}

// Clicks the first entry with this text, or that carries this CLSID; fails,
// for the caller to assert, when there is none.
::testing::AssertionResult SelectListEntry(HWND list, const std::string& text);
::testing::AssertionResult SelectListEntry(HWND list, REFCLSID clsid);

// Runs `seen` each time `message` reaches the window procedure it watches,
// before that procedure. One watch at a time; it ends with the object.
class MessageWatch
{
public:
    MessageWatch(UINT message, std::function<void(HWND window)> seen)
        : m_message(message), m_seen(std::move(seen))
    {
        s_current = this;
    }
    ~MessageWatch()
    {
        if (::IsWindow(m_window))
            ::SetWindowLongPtrW(m_window, m_slot, reinterpret_cast<LONG_PTR>(m_original));
        s_current = nullptr;
    }
    MessageWatch(const MessageWatch&) = delete;
    MessageWatch& operator=(const MessageWatch&) = delete;

    // Watches the window's procedure, or with GWLP_USERDATA the procedure that
    // a window procedure standing in front of the control's keeps there.
    void Watch(HWND window, int slot = GWLP_WNDPROC)
    {
        m_window = window;
        m_slot = slot;
        m_original = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(window, slot, reinterpret_cast<LONG_PTR>(&MessageWatch::Proc)));
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == s_current->m_message)
            s_current->m_seen(window);
        return ::CallWindowProcW(s_current->m_original, window, message, wParam, lParam);
    }

    UINT m_message;
    std::function<void(HWND)> m_seen;
    HWND m_window = nullptr;
    int m_slot = GWLP_WNDPROC;
    WNDPROC m_original = nullptr;
    static inline MessageWatch* s_current = nullptr;
};

// One row of a table of ways to act on a window: the action, and its name.
struct WindowAction : TableRow
{
    void (*act)(HWND window);
};
