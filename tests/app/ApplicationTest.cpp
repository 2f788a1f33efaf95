// Creating the program's windows: a failure is told and ends the program.
#include "app/Application.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/Window.h"
#include "support/ScriptedPrompts.h"

namespace pictavo {
namespace {

TEST(Application, AWindowThatCannotBeCreatedIsToldAndTheProgramEnds) {
    TApplication application;
    testing::ScriptedPrompts prompts;
    const bool created = application.CreateForms(
        [&] {
            throw std::runtime_error("Unable to create the window TFrmMain: out of memory");
        },
        prompts);
    EXPECT_FALSE(created);
    EXPECT_TRUE(application.Terminated());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0],
              "Exception: Unable to create the window TFrmMain: out of memory\r\r"
              "Pictavo cannot start and will close.");
}

TEST(Application, FormsThatAreCreatedLeaveTheProgramRunning) {
    TApplication application;
    testing::ScriptedPrompts prompts;
    EXPECT_TRUE(application.CreateForms([] {}, prompts));
    EXPECT_FALSE(application.Terminated());
    EXPECT_TRUE(prompts.shown.empty());
}

}  // namespace
}  // namespace pictavo

namespace pictavo {
namespace {

class ChildWindow : public Window {
public:
    explicit ChildWindow(HWND parent) { Create("TChildUnderTest", 0, WS_CHILD, "", 0, 0, 1, 1, parent); }
};

TEST(Application, AWindowThatCannotBeMadeSaysWhy) {
    // A child needs a parent that exists.
    HWND gone = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    try {
        ChildWindow child(gone);
        FAIL() << "a window without its parent was made";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Unable to create the window TChildUnderTest: ", 0), 0u)
            << e.what();
    }
}

}  // namespace
}  // namespace pictavo

namespace pictavo {
namespace {

// A loop nested in the main one (a message box) may take the quit message for
// itself: the end that was asked for still holds, and the main loop returns.
TEST(Application, TheEndHoldsWhenANestedLoopTakesTheQuitMessage) {
    TApplication application;
    application.Terminate();
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    ASSERT_TRUE(application.Terminated());
    application.Run();  // returns at once rather than wait for a quit that never comes
}

}  // namespace
}  // namespace pictavo
