#include "shell/TrayIcon.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/FakeShell.h"

namespace pictavo {
namespace {

using testing::FakeShell;

class TrayIconTest : public ::testing::Test {
protected:
    FakeShell shell;
    std::unique_ptr<TTrayIcon> icon = std::make_unique<TTrayIcon>(nullptr, shell);
    std::vector<std::string> events;

    void Activate() {
        icon->SetActive(true);
        icon->Loaded();
    }
    void Mouse(UINT mouse) {
        ::SendMessageA(icon->Handle(), icon->CallbackMessage(), icon->IconID, mouse);
    }
};

TEST_F(TrayIconTest, AddsOnceAndDescribesItselfToTheShell) {
    icon->SetHint("Loading Pictavo...");
    Activate();
    icon->SetActive(true);
    ASSERT_EQ(shell.Messages(), std::vector<DWORD>{NIM_ADD});
    const NOTIFYICONDATAA& d = shell.calls[0].data;
    // The original record: 88 bytes in the 32-bit program as shipped.
    EXPECT_EQ(d.cbSize, sizeof(void*) == 4 ? 88u : static_cast<unsigned>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(d.uFlags, 7u);
    EXPECT_EQ(d.uCallbackMessage, 1025u);
    EXPECT_EQ(d.uID, 1u);
    EXPECT_EQ(d.hWnd, icon->Handle());
    EXPECT_NE(d.hIcon, nullptr);
    EXPECT_STREQ(d.szTip, "Loading Pictavo...");

    icon.reset();
    EXPECT_EQ(shell.Messages().back(), static_cast<DWORD>(NIM_DELETE));
}

TEST_F(TrayIconTest, HintChangesUpdateTheTipOnlyWhenTheyChangeSomething) {
    Activate();
    shell.calls.clear();
    icon->SetHint("sunset.bmp - Pictavo");
    icon->SetHint("sunset.bmp - Pictavo");
    ASSERT_EQ(shell.Messages(), std::vector<DWORD>{NIM_MODIFY});

    const std::string seventy(70, 'h');
    icon->SetHint(seventy);
    EXPECT_EQ(icon->Hint(), std::string(63, 'h'));
    EXPECT_STREQ(shell.calls.back().data.szTip, std::string(63, 'h').c_str());
    // The long text is compared before it is cut: given again, it updates once more.
    icon->SetHint(seventy);
    EXPECT_EQ(shell.calls.size(), 3u);
}

// The shell as it behaves: it holds icons by window and identifier, refuses
// to add one it holds and to change one it does not. At logon it can be too
// busy to answer in time: the call then fails although it was carried out.
struct LogonShell : IShellNotify {
    std::map<std::pair<HWND, UINT>, std::string> tips;  // the icons it holds
    bool nextAnswersLate = false;
    bool refuses = false;
    std::vector<DWORD> calls;
    bool NotifyIcon(DWORD message, const NOTIFYICONDATAA& data) override {
        calls.push_back(message);
        if (refuses) return false;
        const auto icon = std::make_pair(data.hWnd, data.uID);
        const bool held = tips.count(icon) > 0;
        const bool done = message == NIM_ADD ? !held : held;
        if (done && message == NIM_DELETE) tips.erase(icon);
        if (done && message != NIM_DELETE) tips[icon] = data.szTip;
        if (nextAnswersLate) {
            nextAnswersLate = false;
            return false;
        }
        return done;
    }
    std::string Tip(HWND icon) { return tips[std::make_pair(icon, 1u)]; }
};

// The add at logon timed out but the icon is there: the next tip reaches it,
// and every one after, instead of adds the shell refuses for good.
TEST(TrayIconAtLogon, AnAddAnsweredTooLateIsFollowedByChangesNotByAdds) {
    LogonShell shell;
    TTrayIcon icon(nullptr, shell);
    icon.SetHint("Loading Pictavo...");
    shell.nextAnswersLate = true;
    icon.SetActive(true);
    icon.Loaded();
    EXPECT_FALSE(icon.Added());

    icon.SetHint("sunset.bmp - Pictavo");
    EXPECT_TRUE(icon.Added());
    EXPECT_EQ(shell.Tip(icon.Handle()), "sunset.bmp - Pictavo");
    icon.SetHint("beach.jpg - Pictavo");
    EXPECT_EQ(shell.Tip(icon.Handle()), "beach.jpg - Pictavo");
    EXPECT_EQ(shell.calls, (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_MODIFY}));
}

// An add that truly failed: the change finds no icon, and the add comes next.
TEST(TrayIconAtLogon, AnAddThatFailedIsMadeAtTheNextUpdate) {
    LogonShell shell;
    TTrayIcon icon(nullptr, shell);
    shell.refuses = true;
    icon.SetHint("Loading Pictavo...");
    icon.SetActive(true);
    icon.Loaded();
    EXPECT_FALSE(icon.Added());

    shell.refuses = false;
    icon.SetHint("again");
    EXPECT_TRUE(icon.Added());
    EXPECT_EQ(shell.Tip(icon.Handle()), "again");
    EXPECT_EQ(shell.calls, (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_ADD}));
}

TEST_F(TrayIconTest, DoubleClickRunsTheFirstDefaultItemEvenWhileGreyed) {
    TPopupMenu menu;
    menu.Add({"first", true, false, false, [&](const void*) { events.push_back("first"); }});
    menu.Add({"default", true, true, false, [&](const void* s) {
                  events.push_back(s == &menu ? "default from menu" : "default");
              }});
    menu.Add({"second default", true, true, false, [&](const void*) { events.push_back("x"); }});
    icon->PopupMenu = &menu;
    icon->OnDblClick = [&](const void* s) {
        events.push_back(s == icon.get() ? "OnDblClick from icon" : "OnDblClick");
    };
    icon->SetCanShowMenu(false);
    Mouse(WM_LBUTTONDBLCLK);
    EXPECT_EQ(events, (std::vector<std::string>{"default from menu", "OnDblClick from icon"}));
}

TEST_F(TrayIconTest, DoubleClickWithoutADefaultItemOnlyRaisesTheEvent) {
    TPopupMenu menu;
    menu.Add({"plain", true, false, false, [&](const void*) { events.push_back("plain"); }});
    // A default without an action stops the search: later defaults are not tried.
    TPopupMenu silent;
    silent.Add({"no action", true, true, false, nullptr});
    silent.Add({"later", true, true, false, [&](const void*) { events.push_back("later"); }});
    icon->OnDblClick = [&](const void*) { events.push_back("OnDblClick"); };
    for (TPopupMenu* m : {&menu, &silent}) {
        icon->PopupMenu = m;
        Mouse(WM_LBUTTONDBLCLK);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"OnDblClick", "OnDblClick"}));
}

TEST_F(TrayIconTest, RightClickGreysTheMenuUntilItMayBeUsed) {
    TPopupMenu menu;
    menu.Add({"one", true, true, false, nullptr});
    menu.Add({"two", false, false, false, nullptr});
    std::vector<bool> enabledAtPopup;
    menu.Popup = [&](TPopupMenu& m, HWND, POINT) {
        events.push_back("popup");
        for (const auto& item : m.Items()) enabledAtPopup.push_back(item.enabled);
    };
    icon->PopupMenu = &menu;
    icon->BeforePopup = [&](const void*) { events.push_back("BeforePopup"); };

    icon->SetCanShowMenu(false);
    Mouse(WM_RBUTTONUP);
    EXPECT_EQ(events, std::vector<std::string>{"popup"});
    EXPECT_EQ(enabledAtPopup, (std::vector<bool>{false, false}));

    events.clear();
    enabledAtPopup.clear();
    icon->SetCanShowMenu(true);
    Mouse(WM_RBUTTONUP);
    EXPECT_EQ(events, (std::vector<std::string>{"BeforePopup", "popup"}));
    EXPECT_EQ(enabledAtPopup, (std::vector<bool>{true, true}));
}

}  // namespace
}  // namespace pictavo
