// What the system says about full-screen programs, asked for real. Another
// program's full-screen window in front is proven end to end.
#include "slideshow/FullScreenProbe.h"

#include <gtest/gtest.h>

namespace pictavo {
namespace {

HWND MakeWindow(const char* className, DWORD style, const RECT& r) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    ::RegisterClassA(&wc);
    return ::CreateWindowExA(0, className, "", style | WS_VISIBLE, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
}

TEST(FullScreenProbe, OurOwnWindowsAndTheShellsDesktopAreNoReasonToWait) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    const RECT& screen = info.rcMonitor;
    HWND popUp = MakeWindow("FullScreenProbeTest", WS_POPUP, screen);
    // A captioned window as large as the screen: its client area is not.
    HWND captioned = MakeWindow("FullScreenProbeTest", WS_OVERLAPPEDWINDOW, screen);
    ASSERT_NE(popUp, nullptr);
    ASSERT_NE(captioned, nullptr);

    EXPECT_TRUE(TSystemFullScreenProbe::FillsItsMonitor(popUp));
    EXPECT_FALSE(TSystemFullScreenProbe::FillsItsMonitor(captioned));
    // It fills the screen, but it is ours.
    EXPECT_FALSE(TSystemFullScreenProbe::IsFullScreenProgram(popUp));
    EXPECT_FALSE(TSystemFullScreenProbe::IsFullScreenProgram(nullptr));

    EXPECT_TRUE(TSystemFullScreenProbe::IsShellDesktop(::GetDesktopWindow()));
    for (const char* shellClass : {"Progman", "WorkerW"}) {
        HWND desktop = MakeWindow(shellClass, WS_POPUP, screen);
        EXPECT_TRUE(TSystemFullScreenProbe::IsShellDesktop(desktop)) << shellClass;
        ::DestroyWindow(desktop);
    }
    EXPECT_FALSE(TSystemFullScreenProbe::IsShellDesktop(popUp));
    ::DestroyWindow(captioned);
    ::DestroyWindow(popUp);

    // Where the shell has the call (Vista and later, and Wine) it answers.
    EXPECT_TRUE(TSystemFullScreenProbe().NotificationState().has_value());
}

// The client area is measured where it lies on the screen, not from its own corner.
TEST(FullScreenProbe, AWindowFillsItsMonitorOnlyWhereItsClientAreaLiesOverIt) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    const RECT& m = info.rcMonitor;
    const struct {
        const char* name;
        RECT place;
        bool fills;
    } cases[] = {
        {"as large as the monitor, moved to 100,100",
         {m.left + 100, m.top + 100, m.right + 100, m.bottom + 100}, false},
        {"hanging 8 pixels over each edge", {m.left - 8, m.top - 8, m.right + 8, m.bottom + 8}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND window = MakeWindow("FullScreenProbeTest", WS_POPUP, c.place);
        ASSERT_NE(window, nullptr);
        RECT placed{};
        ::GetWindowRect(window, &placed);
        ASSERT_TRUE(::EqualRect(&placed, &c.place));
        EXPECT_EQ(TSystemFullScreenProbe::FillsItsMonitor(window), c.fills);
        ::DestroyWindow(window);
    }
}

}  // namespace
}  // namespace pictavo
