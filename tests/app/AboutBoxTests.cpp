// The About box, run for real over a window of the test's own. Each test acts
// inside the box's modal loop from a thread timer, one step per tick.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "AboutBox.h"
#include "ComPtr.h"
#include "StandIns.h"
#include "TestRegistry.h"
#include "UniqueHandle.h"
#include "WindowDriver.h"
#include "resource.h"

namespace {

constexpr char kTitle[] = "Multimedia Filter Manager";
constexpr char kWindowClass[] = "AboutBoxTestWindow";

// Owners of the test's windows.
using UniqueWindow = UniqueHandle<ClosedBy<HWND, &::DestroyWindow>>;

// A plain window of the test's own; outer is its window rectangle on the screen.
UniqueWindow CreateTestWindow(DWORD style, const RECT& outer, HWND owner = nullptr)
{
    static const ATOM registered = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hbrBackground = ::GetSysColorBrush(COLOR_WINDOW);
        wc.lpszClassName = kWindowClass;
        return ::RegisterClassA(&wc);
    }();
    EXPECT_NE(0, registered);
    UniqueWindow window(::CreateWindowExA(0, kWindowClass, "About box test", style, outer.left, outer.top,
                                          outer.right - outer.left, outer.bottom - outer.top, owner, nullptr,
                                          ::GetModuleHandleA(nullptr), nullptr));
    EXPECT_TRUE(window);
    return window;
}

// The window rectangle whose client area is exactly client, for the style.
RECT OuterRect(RECT client, DWORD style)
{
    ::AdjustWindowRectEx(&client, style, FALSE, 0);
    return client;
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect;
}

// "{left, top, right, bottom}", for comparing and printing rectangles.
std::string Text(const RECT& r)
{
    return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) +
           ", " + std::to_string(r.bottom) + "}";
}

// Runs the box over owner with the steps inside its loop, one per tick; fails
// unless every step ran and the steps closed it.
void RunAboutBox(Here here, HWND owner, LPCSTR title, std::vector<ModalStep> steps)
{
    RunOwnedDialog(here, owner, std::move(steps), [&] {
        ShowAboutBox(owner, title);
        return INT_PTR(0);
    });
}

void PressOk(HWND box)
{
    ClickButton(::GetDlgItem(box, IDOK));
}

// The click notification, as the link sends it; returns the link's text.
std::string ClickLink(HWND box)
{
    const HWND link = ::GetDlgItem(box, IDC_ABOUT_LINK);
    ::SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_LINK, STN_CLICKED), reinterpret_cast<LPARAM>(link));
    return WindowText(link);
}

// ---------------------------------------------------------------------------
// The shell call, observed instead of made.

struct ShellCall
{
    HWND window;
    std::string verb;
    std::string file;
    bool withParameters;
    bool withDirectory;
    INT show;
};
std::vector<ShellCall> g_shellCalls;

HINSTANCE WINAPI RecordShellExecute(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                    LPCSTR directory, INT show)
{
    g_shellCalls.push_back({window, verb ? verb : "(none)", file ? file : "(none)", parameters != nullptr,
                            directory != nullptr, show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42)); // above 32: opened
}

// Whether `done` came true within half a minute, asked every tenth of a second.
bool WaitUntil(const std::function<bool()>& done)
{
    for (int tries = 0; tries < 300; ++tries, ::Sleep(100))
        if (done())
            return true;
    return false;
}

// The web handler of the test session replaced, while the object lives, by a
// recorder of who started it (ZARV_WEB_RECORDER, built beside this program).
class ScopedWebRecorder
{
public:
    ScopedWebRecorder() : m_hadHandler(ReadValue(kCommandKey, L"", m_handler))
    {
        WriteString(kCommandKey, L"", L"\"" ZARV_WEB_RECORDER L"\" \"" + m_record + L"\" \"%1\"");
    }
    ~ScopedWebRecorder()
    {
        if (m_hadHandler)
            WriteValue(kCommandKey, L"", m_handler.type, m_handler.data.data(),
                       static_cast<DWORD>(m_handler.data.size()));
        ::DeleteFileW(m_record.c_str());
    }
    ScopedWebRecorder(const ScopedWebRecorder&) = delete;
    ScopedWebRecorder& operator=(const ScopedWebRecorder&) = delete;

    // The image name of the process that started the handler, then the
    // address it was given; empty when it has not run within half a minute.
    std::pair<std::string, std::string> Opening() const
    {
        WaitUntil([this] { return ::GetFileAttributesW(m_record.c_str()) != INVALID_FILE_ATTRIBUTES; });
        std::ifstream record{std::filesystem::path(m_record)};
        std::pair<std::string, std::string> opening;
        std::getline(std::getline(record, opening.first), opening.second);
        return opening;
    }

private:
    static constexpr char kCommandKey[] = "http\\shell\\open\\command";
    RegValue m_handler;
    const bool m_hadHandler;
    const std::wstring m_record = NewTempPath(L".txt");
};

// A high-contrast theme, which the platform here cannot be made to turn on.
BOOL WINAPI HighContrastOn(UINT action, UINT, PVOID value, UINT)
{
    if (action != SPI_GETHIGHCONTRAST)
        return FALSE;
    static_cast<HIGHCONTRASTA*>(value)->dwFlags = HCF_AVAILABLE | HCF_HIGHCONTRASTON;
    return TRUE;
}

class AboutBoxTest : public ::testing::Test
{
protected:
    // An owner with a caption, so that its client area is not its window rectangle.
    static constexpr DWORD kOwnerStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    UniqueWindow m_owner = CreateTestWindow(kOwnerStyle, OuterRect({200, 150, 840, 630}, kOwnerStyle));
    ScopedPlatformCall<decltype(PlatformCalls::shellExecute)> m_shell{&PlatformCalls::shellExecute,
                                                                      &RecordShellExecute};
    // No desktop shell, as in a Wine prefix's first session: the box opens
    // the address itself.
    ScopedCreation m_desktop;

    void SetUp() override
    {
        ASSERT_TRUE(m_owner);
        g_shellCalls.clear();
        m_desktop.Fail(CLSID_ShellWindows, REGDB_E_CLASSNOTREG);
    }
};

} // namespace

// ---------------------------------------------------------------------------

TEST(CenterOnParent, CentresOnTheParentsClientAreaKeepingTheSize)
{
    // A parent whose client area is 401 x 300 at screen point (100, 50).
    constexpr DWORD parentStyle = WS_POPUP | WS_CAPTION;
    UniqueWindow parent = CreateTestWindow(parentStyle, OuterRect({100, 50, 501, 350}, parentStyle));
    RECT client = {};
    ::GetClientRect(parent.get(), &client);
    POINT origin = {0, 0};
    ::ClientToScreen(parent.get(), &origin);
    ASSERT_EQ("{0, 0, 401, 300}", Text(client));
    ASSERT_EQ(100, origin.x);
    ASSERT_EQ(50, origin.y);

    // A 300 x 201 window owned by it: the centre is (300, 200) on the screen,
    // and the odd height leaves the window half a pixel below the exact centre.
    UniqueWindow box = CreateTestWindow(WS_POPUP, {0, 0, 300, 201}, parent.get());
    CenterOnParent(box.get());
    EXPECT_EQ("{150, 100, 450, 301}", Text(WindowRect(box.get())));
}

TEST(CenterOnParent, LeavesAWindowWithoutParentWhereItIs)
{
    UniqueWindow window = CreateTestWindow(WS_POPUP, {123, 45, 423, 246});
    CenterOnParent(window.get());
    EXPECT_EQ("{123, 45, 423, 246}", Text(WindowRect(window.get())));
}

TEST_F(AboutBoxTest, OpensCentredOverItsOwnerWithTheProductLine)
{
    const HWND owner = m_owner.get();
    HBITMAP shown = nullptr;
    RunAboutBox(
        HERE, owner, kTitle, {[owner, &shown](HWND box) {
            EXPECT_EQ("TAVELMIR Multimedia Filter Manager 64",
                      WindowText(::GetDlgItem(box, IDC_ABOUT_TITLE)));
            EXPECT_FALSE(::IsWindowEnabled(owner));

            // Centred on the owner's client area, which starts at (200, 150).
            const RECT rect = WindowRect(box);
            EXPECT_EQ(200 + 640 / 2 - (rect.right - rect.left) / 2, rect.left);
            EXPECT_EQ(150 + 480 / 2 - (rect.bottom - rect.top) / 2, rect.top);

            // The picture control takes the size of the logo.
            RECT logo = {};
            ::GetClientRect(::GetDlgItem(box, IDC_ABOUT_LOGO), &logo);
            EXPECT_EQ("{0, 0, 250, 58}", Text(logo));

            // A new DPI has the logo drawn afresh at its scale, its
            // control fitted to it and the bitmap it replaces deleted.
            const auto image = [box] {
                return reinterpret_cast<HBITMAP>(
                    ::SendDlgItemMessageA(box, IDC_ABOUT_LOGO, STM_GETIMAGE, IMAGE_BITMAP, 0));
            };
            for (const auto& [dpi, drawnSize] : {std::pair{144, SIZE{375, 87}}, std::pair{96, SIZE{250, 58}}})
            {
                const SIZE size = drawnSize;
                shown = image();
                RECT window = WindowRect(box);
                ::SendMessageA(box, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&window));
                EXPECT_EQ(0u, ::GetObjectType(shown)) << "the bitmap replaced at " << dpi << " DPI";
                BITMAP drawn = {};
                ::GetObjectA(image(), sizeof drawn, &drawn);
                EXPECT_EQ(std::pair(size.cx, size.cy), std::pair(drawn.bmWidth, drawn.bmHeight));
                EXPECT_TRUE(PumpUntil([&] {
                    ::GetClientRect(::GetDlgItem(box, IDC_ABOUT_LOGO), &logo);
                    return logo.right == size.cx && logo.bottom == size.cy;
                })) << Text(logo)
                    << " at " << dpi << " DPI";
            }
            shown = image();
            PressOk(box);
        }});
    EXPECT_TRUE(::IsWindowEnabled(owner));
    EXPECT_EQ(0u, ::GetObjectType(shown)) << "the last bitmap goes with the box";
}

TEST_F(AboutBoxTest, ReturnsAtOnceWhenTheOwnersModuleHasNoTemplate)
{
    // The template is looked up in the owner's module: here one without it.
    ::SetWindowLongPtrA(m_owner.get(), GWLP_HINSTANCE,
                        reinterpret_cast<LONG_PTR>(::GetModuleHandleA("user32.dll")));
    RunAboutBox(HERE, m_owner.get(), kTitle, {}); // fails if a box opens
    EXPECT_TRUE(::IsWindowEnabled(m_owner.get()));
}

TEST_F(AboutBoxTest, CutsAProductLineTooLongForItsBuffer)
{
    // "TAVELMIR " + title + " 64" fills the 259 characters exactly.
    const std::string fits(259 - 9 - 3, 't');
    RunAboutBox(HERE, m_owner.get(), fits.c_str(), {[&fits](HWND box) {
                    EXPECT_EQ("TAVELMIR " + fits + " 64", WindowText(::GetDlgItem(box, IDC_ABOUT_TITLE)));
                    PressOk(box);
                }});

    const std::string tooLong(300, 'x');
    RunAboutBox(HERE, m_owner.get(), tooLong.c_str(), {[&tooLong](HWND box) {
                    EXPECT_EQ(("TAVELMIR " + tooLong).substr(0, 259),
                              WindowText(::GetDlgItem(box, IDC_ABOUT_TITLE)));
                    PressOk(box);
                }});
}

class AboutBoxClosing : public AboutBoxTest, public ::testing::WithParamInterface<WindowAction>
{
};

TEST_P(AboutBoxClosing, EndsTheBoxAndReEnablesTheOwner)
{
    const HWND owner = m_owner.get();
    HWND shown = nullptr;
    RunAboutBox(HERE, owner, kTitle, {[owner, &shown](HWND box) {
                    shown = box;
                    EXPECT_FALSE(::IsWindowEnabled(owner));
                    GetParam().act(box);
                }});
    ASSERT_NE(nullptr, shown);
    EXPECT_FALSE(::IsWindow(shown));
    EXPECT_TRUE(::IsWindowEnabled(owner));
    EXPECT_TRUE(g_shellCalls.empty());
}

// Keys are posted, so that they reach the box through its own modal loop.
INSTANTIATE_TEST_SUITE_P(
    EachWay, AboutBoxClosing,
    ::testing::Values(
        WindowAction{{"OkButton"}, &PressOk},
        WindowAction{{"Enter"},
                     [](HWND box) { ::PostMessageA(::GetDlgItem(box, IDOK), WM_KEYDOWN, VK_RETURN, 0); }},
        WindowAction{{"Escape"},
                     [](HWND box) { ::PostMessageA(::GetDlgItem(box, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); }},
        WindowAction{{"CloseCommand"}, [](HWND box) { ::PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }}),
    RowName());

TEST_F(AboutBoxTest, SingleClickOnTheAddressOpensItAndTheBoxStaysOpen)
{
    std::string address;
    auto expectOpened = [this, &address](HWND box, size_t count) {
        SCOPED_TRACE("opening " + std::to_string(count));
        ASSERT_EQ(count, g_shellCalls.size());
        const ShellCall& call = g_shellCalls.back();
        EXPECT_EQ(box, call.window);
        EXPECT_EQ("open", call.verb);
        EXPECT_EQ(address, call.file);
        EXPECT_FALSE(call.withParameters);
        EXPECT_FALSE(call.withDirectory);
        EXPECT_EQ(SW_SHOWNORMAL, call.show);
        // Each time after the desktop's shell was asked for.
        EXPECT_EQ(count, static_cast<size_t>(std::count(m_desktop.requested.begin(),
                                                        m_desktop.requested.end(), CLSID_ShellWindows)));
    };
    const HWND owner = m_owner.get();
    RunAboutBox(HERE, owner, kTitle,
                {// The click notification, as the control sends it.
                 [&](HWND box) {
                     address = ClickLink(box);
                     EXPECT_NE(std::string::npos, address.find(".example"));
                     expectOpened(box, 1);
                     EXPECT_FALSE(::IsWindowEnabled(owner));
                 },
                 // The mouse buttons themselves, through the box's loop.
                 [](HWND box) {
                     const HWND link = ::GetDlgItem(box, IDC_ABOUT_LINK);
                     ::PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
                     ::PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
                 },
                 [&](HWND box) {
                     if (g_shellCalls.size() < 2 && RunStepAgain())
                         return;
                     expectOpened(box, 2);
                 },
                 // A double click does nothing, as a notification or as a mouse message.
                 [](HWND box) {
                     const HWND link = ::GetDlgItem(box, IDC_ABOUT_LINK);
                     EXPECT_EQ(FALSE, AboutDlgProc(box, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_LINK, STN_DBLCLK),
                                                   reinterpret_cast<LPARAM>(link)));
                     ::SendMessageA(link, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
                     EXPECT_EQ(2u, g_shellCalls.size());
                 },
                 // An address longer than the buffer is opened cut to 259 characters.
                 [&](HWND box) {
                     const std::string longAddress = "http://tavelmir.example/" + std::string(300, 'a');
                     ::SetDlgItemTextA(box, IDC_ABOUT_LINK, longAddress.c_str());
                     address = longAddress.substr(0, 259);
                     ClickLink(box);
                     expectOpened(box, 3);
                     PressOk(box);
                 }});
}

// Where the desktop's shell answers, it starts the web handler: the handler
// runs as the desktop's user, not as this process's child with its rights.
TEST_F(AboutBoxTest, TheDesktopsShellOpensTheAddressNotTheProgram)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "replaces the machine's web handler";
    m_desktop.Fail(CLSID_ShellWindows, S_OK); // the desktop's shell answers
    // once the session's desktop, started as the session began, is up.
    ASSERT_TRUE(WaitUntil([] {
        ComPtr<IUnknown> windows;
        return SUCCEEDED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                            windows.put_void()));
    }));
    const ScopedWebRecorder recorder;
    std::string address;
    RunAboutBox(HERE, m_owner.get(), kTitle, {[&address](HWND box) {
                    address = ClickLink(box);
                    PressOk(box);
                }});
    EXPECT_TRUE(g_shellCalls.empty()) << "the program opened it itself";
    const auto [opener, opened] = recorder.Opening();
    EXPECT_STRCASEEQ("explorer.exe", opener.c_str());
    EXPECT_NE(std::string::npos, opened.find(address)) << opened;
}

TEST_F(AboutBoxTest, MouseClickOnTheAddressOpensIt)
{
    std::string address;
    RunAboutBox(HERE, m_owner.get(), kTitle,
                {[&address](HWND box) {
                     const HWND link = ::GetDlgItem(box, IDC_ABOUT_LINK);
                     address = WindowText(link);
                     // Other tests share the display: keep the box on top, and
                     // give every event its own position.
                     ::SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                     RECT rect = {};
                     ::GetClientRect(link, &rect);
                     const auto click = {DWORD{MOUSEEVENTF_LEFTDOWN}, DWORD{MOUSEEVENTF_LEFTUP}};
                     EXPECT_EQ(2u, SendPointerInput(link, Centre(rect), click));
                 },
                 [&address](HWND box) {
                     if (g_shellCalls.empty() && RunStepAgain())
                         return;
                     ASSERT_EQ(1u, g_shellCalls.size());
                     EXPECT_EQ("open", g_shellCalls[0].verb);
                     EXPECT_EQ(address, g_shellCalls[0].file);
                     PressOk(box);
                 }});
}

TEST_F(AboutBoxTest, OnlyTheAddressIsDrawnInLinkColours)
{
    RunAboutBox(HERE, m_owner.get(), kTitle, {[](HWND box) {
                    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
                    ASSERT_TRUE(dc);
                    const auto colourRequest = [box, &dc](int control) {
                        ::SetTextColor(dc.get(), RGB(1, 2, 3));
                        ::SetBkMode(dc.get(), OPAQUE);
                        return AboutDlgProc(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                                            reinterpret_cast<LPARAM>(::GetDlgItem(box, control)));
                    };

                    EXPECT_EQ(reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE)),
                              colourRequest(IDC_ABOUT_LINK));
                    EXPECT_EQ(0x00E60000u, ::GetTextColor(dc.get()));
                    EXPECT_EQ(TRANSPARENT, ::GetBkMode(dc.get()));

                    for (int control : {IDC_ABOUT_TITLE, IDC_ABOUT_COPYRIGHT, IDC_ABOUT_LOGO})
                    {
                        EXPECT_EQ(FALSE, colourRequest(control)) << "control " << control;
                        EXPECT_EQ(RGB(1, 2, 3), ::GetTextColor(dc.get())) << "control " << control;
                        EXPECT_EQ(OPAQUE, ::GetBkMode(dc.get())) << "control " << control;
                    }

                    // Through the dialog manager, as the control asks when it paints.
                    ::SetTextColor(dc.get(), RGB(1, 2, 3));
                    EXPECT_EQ(reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE)),
                              ::SendMessageA(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                                             reinterpret_cast<LPARAM>(::GetDlgItem(box, IDC_ABOUT_LINK))));
                    EXPECT_EQ(0x00E60000u, ::GetTextColor(dc.get()));

                    // In a high-contrast theme, the theme's colour for links, on the same face.
                    const ScopedPlatformCall<decltype(PlatformCalls::systemParametersInfo)> contrast(
                        &PlatformCalls::systemParametersInfo, &HighContrastOn);
                    ASSERT_NE(0x00E60000u, ::GetSysColor(COLOR_HOTLIGHT));
                    EXPECT_EQ(reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE)),
                              colourRequest(IDC_ABOUT_LINK));
                    EXPECT_EQ(::GetSysColor(COLOR_HOTLIGHT), ::GetTextColor(dc.get()));
                    EXPECT_EQ(TRANSPARENT, ::GetBkMode(dc.get()));
                    PressOk(box);
                }});
}
