// What the system says about full-screen programs, asked for real. Another
// program's full-screen window is proven end to end.
#include "slideshow/FullScreenProbe.h"

#include <gtest/gtest.h>

#include <string>

namespace pictavo {
namespace {

HWND PopUp(const char* className, const RECT& r) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    ::RegisterClassA(&wc);
    return ::CreateWindowExA(0, className, "", WS_POPUP | WS_VISIBLE, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance,
                             nullptr);
}

TEST(FullScreenProbe, OurOwnFullScreenWindowAndTheShellsDesktopAreNoReasonToWait) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    HWND own = PopUp("FullScreenProbeTest", info.rcMonitor);
    ASSERT_NE(own, nullptr);
    ::SetForegroundWindow(own);
    ASSERT_EQ(::GetForegroundWindow(), own);

    TSystemFullScreenProbe probe;
    EXPECT_FALSE(probe.ForegroundFillsMonitor());
    // Where the shell has the call (Vista and later, and Wine) it answers.
    EXPECT_TRUE(probe.NotificationState().has_value());

    EXPECT_TRUE(TSystemFullScreenProbe::IsShellDesktop(::GetDesktopWindow()));
    for (const char* shellClass : {"Progman", "WorkerW"}) {
        HWND desktop = PopUp(shellClass, info.rcMonitor);
        EXPECT_TRUE(TSystemFullScreenProbe::IsShellDesktop(desktop)) << shellClass;
        ::DestroyWindow(desktop);
    }
    EXPECT_FALSE(TSystemFullScreenProbe::IsShellDesktop(own));
    ::DestroyWindow(own);
}

}  // namespace
}  // namespace pictavo
