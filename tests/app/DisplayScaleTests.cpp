// The program and its windows on a display scaled to ZARV_DISPLAY_DPI (144 or
// 192 DPI), in a Wine session whose display has that DPI from its start: a
// platform that scales each monitor on its own reads the monitors' DPI as the
// session's desktop starts.
#include <gtest/gtest.h>

#include <windows.h>

#include "ProgramProcess.h"
#include "TestHost.h"
#include "WindowDriver.h"
#include "resource.h"

namespace {

// What the program shows at a display scale: the About box's logo, the
// manager window's icons, and whether the About box grows to the scale with its
// font: Wine's bitmap font for "MS Sans Serif" has no size for 200 %, where the
// box keeps its size for 150 %.
struct Scale
{
    SIZE logo;
    int bigIcon;
    int smallIcon;
    bool boxScales;
};
constexpr Scale kScale =
    ZARV_DISPLAY_DPI == 144 ? Scale{{375, 87}, 48, 24, true} : Scale{{500, 116}, 64, 32, false};

} // namespace

using DisplayScaled = ClassesRootTest;

// Drawn at the display's DPI, not stretched from 96 DPI: only a platform that
// stretches programs that are not DPI aware tells the two apart.
TEST_F(DisplayScaled, TheProgramIsPerMonitorAwareAtTheDisplaysDpi)
{
    if (!PlatformScalesUnawareWindows())
        GTEST_SKIP() << "this Wine draws every program at the display's DPI, aware of it or not";
    Program program;
    const HWND window = program.WaitForWindow();
    ASSERT_NE(nullptr, window) << "no manager window";
    EXPECT_EQ(DPI_AWARENESS_PER_MONITOR_AWARE,
              ::GetAwarenessFromDpiAwarenessContext(::GetWindowDpiAwarenessContext(window)));
    EXPECT_EQ(ZARV_DISPLAY_DPI, ::GetDpiForWindow(window));
    PressKey(window, VK_ESCAPE);
    EXPECT_TRUE(program.EndsWithoutOtherWindows());
}

TEST_F(DisplayScaled, TheProgramsAboutLogoIsDrawnAtTheScaleInsideTheBox)
{
    Program program;
    const HWND window = program.WaitForWindow();
    ASSERT_NE(nullptr, window) << "no manager window";
    ::PostMessageW(window, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    const HWND box = program.WaitForWindow(false);
    ASSERT_NE(nullptr, box) << "no About box";
    const HWND control = ::GetDlgItem(box, IDC_ABOUT_LOGO);
    RECT logo = {};
    RECT inside = {};
    ::GetClientRect(control, &logo);
    EXPECT_EQ(kScale.logo.cx, logo.right);
    EXPECT_EQ(kScale.logo.cy, logo.bottom);
    ::MapWindowPoints(control, box, reinterpret_cast<POINT*>(&logo), 2);
    ::GetClientRect(box, &inside);
    if (kScale.boxScales || !RunningUnderWine())
    {
        EXPECT_TRUE(logo.left >= 0 && logo.top >= 0 && logo.right <= inside.right &&
                    logo.bottom <= inside.bottom)
            << "the logo at " << logo.left << ", " << logo.top << " to " << logo.right << ", " << logo.bottom
            << " in a box of " << inside.right << " x " << inside.bottom;
    }
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// Drawn for the display's scale, and again for a new one, the icons replaced
// destroyed.
TEST_F(DisplayScaled, TheManagerWindowsIconsAreDrawnForTheScale)
{
    RunManager(HERE, [](HWND dialog) {
        EXPECT_EQ(ZARV_DISPLAY_DPI, ::GetDpiForWindow(dialog));
        const auto [big, small] = WindowIcons(dialog);
        EXPECT_EQ(std::pair(kScale.bigIcon, kScale.smallIcon), std::pair(IconWidth(big), IconWidth(small)));

        RECT window = {};
        ::GetWindowRect(dialog, &window);
        ::SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&window));
        const auto [bigAt100, smallAt100] = WindowIcons(dialog);
        EXPECT_EQ(std::pair(32, 16), std::pair(IconWidth(bigAt100), IconWidth(smallAt100)));
        EXPECT_EQ(std::pair(0, 0), std::pair(IconWidth(big), IconWidth(small))) << "destroyed";
        EXPECT_EQ(reinterpret_cast<LRESULT>(bigAt100), ::SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0));
    });
}
