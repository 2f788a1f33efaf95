// The modal loop every dialog of the program runs: how it ends, and what it
// leaves behind for the owner and for the main loop.
#include <gtest/gtest.h>

#include "platform/Prompts.h"
#include "platform/Window.h"

namespace pictavo {
namespace {

struct Owner : Window {
    Owner() { Create("ModalTestOwner", 0, WS_OVERLAPPEDWINDOW, "owner", 0, 0, 200, 200, nullptr); }
};

// A dialog whose test step runs from inside its own loop (a posted message),
// as a click or the program's end would.
struct Dialog : Window {
    explicit Dialog(HWND owner) {
        Create("ModalTestDialog", 0, WS_POPUP | WS_CAPTION, "dialog", 0, 0, 100, 100, owner);
        button = CreateControl(Handle(), "BUTTON", "OK", WS_VISIBLE | WS_TABSTOP, 0, 0, 50, 20, IDOK);
    }
    bool Run(HWND owner, std::function<void(Dialog&)> step) {
        step_ = std::move(step);
        ::PostMessageA(Handle(), WM_APP, 0, 0);
        return RunModal(owner, button, [this] { return done; });
    }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) {
            ownerEnabledInside = ::IsWindowEnabled(::GetWindow(Handle(), GW_OWNER)) != FALSE;
            focusInside = ::GetFocus();
            step_(*this);
            return 0;
        }
        return Window::HandleMessage(message, wParam, lParam);
    }
    HWND button = nullptr;
    bool done = false;
    bool ownerEnabledInside = true;
    HWND focusInside = nullptr;

private:
    std::function<void(Dialog&)> step_;
};

bool QuitWaiting() {
    MSG msg;
    return ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

TEST(Modal, EndsOnItsConditionOnAQuitOrWhenTheWindowGoesAndTheOwnerWorksAgain) {
    struct Case {
        const char* name;
        std::function<void(Dialog&)> step;
        bool answered;
        bool quitLeftForTheMainLoop;
    };
    const Case cases[] = {
        {"answered", [](Dialog& d) { d.done = true; }, true, false},
        {"quit", [](Dialog&) { ::PostQuitMessage(3); }, false, true},
        {"destroyed", [](Dialog& d) { ::DestroyWindow(d.Handle()); }, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Owner owner;
        Dialog dialog(owner.Handle());
        EXPECT_EQ(dialog.Run(owner.Handle(), c.step), c.answered);
        EXPECT_FALSE(dialog.ownerEnabledInside);
        EXPECT_EQ(dialog.focusInside, dialog.button);
        EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
        EXPECT_FALSE(dialog.Handle() && ::IsWindowVisible(dialog.Handle()));
        EXPECT_EQ(QuitWaiting(), c.quitLeftForTheMainLoop);
    }
}

}  // namespace
}  // namespace pictavo

namespace pictavo {
namespace {

// The program ending with no one to answer: the open dialog and the open
// message box end as cancelled, and no new one waits until allowed again.
TEST(Modal, EndingTheLoopsClosesWhatIsOpenAndRefusesMoreUntilAllowed) {
    Owner owner;
    Dialog dialog(owner.Handle());
    EXPECT_FALSE(dialog.Run(owner.Handle(), [](Dialog&) { EndModalLoops(); }));
    EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
    EXPECT_FALSE(dialog.Run(owner.Handle(), [](Dialog& d) { d.done = true; }));
    // Ends any box that opens after all, from inside its loop.
    const TIMERPROC endBoxes = [](HWND, UINT, UINT_PTR, DWORD) WINAPI { EndModalLoops(); };
    UINT_PTR timer = ::SetTimer(nullptr, 0, 10, endBoxes);
    // A box, even one asked for past every other gate, answers "No" at once:
    // shown and then ended it would answer Cancel.
    EXPECT_EQ(WinPrompts("Pictavo").Show(owner.Handle(), "unanswered", MB_YESNO), IDNO);
    ::KillTimer(nullptr, timer);
    AllowModalLoops();

    // A real message box, ended from inside its own loop by a timer.
    timer = ::SetTimer(nullptr, 0, 10, endBoxes);
    EXPECT_EQ(::MessageBoxA(owner.Handle(), "waiting", "Pictavo", MB_OK), IDCANCEL);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(ModalLoopsEnded());
    AllowModalLoops();
    EXPECT_TRUE(dialog.Run(owner.Handle(), [](Dialog& d) { d.done = true; }));
}

}  // namespace
}  // namespace pictavo
