#include "app/FrmSplash.h"

#include <gtest/gtest.h>

#include "support/VirtualTimers.h"

namespace pictavo {
namespace {

// The splash closes at the second of two events: its 3-second timer, and the
// end of start-up, whichever order they come in.
class SplashTest : public ::testing::Test {
protected:
    testing::VirtualTimers clock;
    void SetUp() override {
        ShowSplash(clock);
        ASSERT_NE(Splash(), nullptr);
        Splash()->Timer1->SetEnabled(true);
    }
    void TearDown() override {
        while (Splash()) {
            Splash()->Ready = true;
            EndSplash();
        }
    }
};

TEST_F(SplashTest, StartUpEndingFirstLeavesItUpForItsTime) {
    EndSplash();
    ASSERT_NE(Splash(), nullptr);
    EXPECT_TRUE(Splash()->Visible());
    clock.Advance(2999);
    ASSERT_NE(Splash(), nullptr);
    clock.Advance(1);
    EXPECT_EQ(Splash(), nullptr);
}

TEST_F(SplashTest, TimerEndingFirstWaitsForStartUp) {
    clock.Advance(3000);
    ASSERT_NE(Splash(), nullptr);
    clock.Advance(10000);  // one shot: a single tick
    ASSERT_NE(Splash(), nullptr);
    EndSplash();
    EXPECT_EQ(Splash(), nullptr);
}

TEST_F(SplashTest, HidingKeepsTheReference) {
    HideSplash();
    ASSERT_NE(Splash(), nullptr);
    EXPECT_FALSE(Splash()->Visible());
}

TEST_F(SplashTest, ClickingTheWebAddressOpensTheSplashPage) {
    std::vector<HWND> clicked;
    SetSplashLinkHandler([&](HWND splash) { clicked.push_back(splash); });
    HWND address = ::FindWindowExA(Splash()->Handle(), nullptr, "STATIC", "www.norvex.com");
    ASSERT_TRUE(address);
    ::SendMessageA(address, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageA(address, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    SetSplashLinkHandler(nullptr);
    EXPECT_EQ(clicked, std::vector<HWND>{Splash()->Handle()});
}

}  // namespace
}  // namespace pictavo
