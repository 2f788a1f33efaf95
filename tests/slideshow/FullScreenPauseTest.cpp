#include "slideshow/FullScreenPause.h"

#include <gtest/gtest.h>

namespace pictavo {
namespace {

TEST(FullScreenPause, TheNotificationStateDecidesAndTheForegroundWindowWhereItCannot) {
    const std::optional<int> kMissing;
    const struct {
        bool pauseOn;
        std::optional<int> state;
        bool fills;
        TickPass pass;
        bool foregroundAsked;
    } cases[] = {
        // The box off: nothing is asked, every tick counts.
        {false, kNotificationBusy, true, TickPass::None, false},
        {true, kNotificationBusy, false, TickPass::FullScreen, false},
        {true, kNotificationD3DFullScreen, false, TickPass::Direct3D, false},
        {true, kNotificationPresentation, false, TickPass::Presentation, false},
        // "Accepts notifications" is what Wine answers whatever runs.
        {true, kNotificationAccepts, true, TickPass::FullScreenWindow, true},
        {true, kNotificationAccepts, false, TickPass::None, true},
        // No such call (Windows XP), or one that failed.
        {true, kMissing, true, TickPass::FullScreenWindow, true},
        {true, kMissing, false, TickPass::None, true},
        // Not present (screen saver, locked), quiet time, a store app: the window decides.
        {true, 1, false, TickPass::None, true},
        {true, 6, true, TickPass::FullScreenWindow, true},
        {true, 7, false, TickPass::None, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "pause " << c.pauseOn << ", state "
                                          << c.state.value_or(-1) << ", fills " << c.fills);
        int stateAsked = 0, foregroundAsked = 0;
        const TickPass pass = FullScreenTickPass(
            c.pauseOn, [&] { return ++stateAsked, c.state; },
            [&] { return ++foregroundAsked, c.fills; });
        EXPECT_EQ(pass, c.pass);
        EXPECT_EQ(stateAsked, c.pauseOn ? 1 : 0);
        EXPECT_EQ(foregroundAsked, c.foregroundAsked ? 1 : 0);
        EXPECT_EQ(TickPassTrace(pass).empty(), pass == TickPass::None);
    }
}

TEST(FullScreenPause, AClientAreaFillsItsMonitorOnlyWhenItCoversAllOfIt) {
    const ScreenRect monitor{0, 0, 1024, 768};
    const ScreenRect second{1024, 0, 2304, 1024};
    const struct {
        ScreenRect client, monitor;
        bool fills;
    } cases[] = {
        {{0, 0, 1024, 768}, monitor, true},
        {{-10, -10, 1100, 800}, monitor, true},      // larger than the screen
        {{1024, 0, 2304, 1024}, second, true},      // on the second monitor
        {{0, 0, 1024, 768}, second, false},         // fills the first, not its own
        {{0, 22, 1024, 768}, monitor, false},        // a maximized window under its caption
        {{0, 0, 1023, 768}, monitor, false},         // one pixel short
        {{0, 0, 1024, 740}, monitor, false},         // over the work area only
        {{0, 0, 0, 0}, ScreenRect{}, false},         // no monitor answered
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FillsMonitor(c.client, c.monitor), c.fills)
            << c.client.left << "," << c.client.top << "," << c.client.right << ","
            << c.client.bottom;
    }
}

}  // namespace
}  // namespace pictavo
