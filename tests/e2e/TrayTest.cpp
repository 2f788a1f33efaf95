// The real program driven from its tray icon, and its start-up shortcut.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shellapi.h>

#include <thread>

#include "harness/Harness.h"
#include "shell/StartupShortcut.h"
#include "support/Shortcut.h"

using namespace e2e;

namespace {

// Rests the pointer on a point of the screen until the shell's tip there (a
// tip window of the taskbar's process) reads as expected; the text last seen.
std::string ShellTipAt(POINT at, HWND taskbar, const std::string& expected) {
    DWORD shell = 0;
    ::GetWindowThreadProcessId(taskbar, &shell);
    ::SetCursorPos(at.x, at.y);
    std::string text;
    WaitFor(
        [&] {
            HWND tip = nullptr;
            while ((tip = ::FindWindowExA(nullptr, tip, "tooltips_class32", nullptr))) {
                DWORD owner = 0;
                ::GetWindowThreadProcessId(tip, &owner);
                if (owner != shell || !::IsWindowVisible(tip)) continue;
                // Asked, not read from the window: a tip keeps its text to itself.
                char shown[256] = {};
                DWORD_PTR length = 0;
                ::SendMessageTimeoutA(tip, WM_GETTEXT, sizeof(shown), reinterpret_cast<LPARAM>(shown),
                                      SMTO_ABORTIFHUNG, 5000, &length);
                text = shown;
            }
            return text == expected;
        },
        5s);
    return text;
}

// A stand-in for the shell's Program Manager, the window that holds the
// desktop icons (Wine has none): a top-level window of that class and title,
// on a thread of its own that answers the program's show and hide.
class ProgramManager {
public:
    ProgramManager() {
        HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, ready] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = ::DefWindowProcA;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.lpszClassName = "Progman";
            ::RegisterClassA(&wc);
            // Out of the way of screenshots, yet shown.
            hwnd_ = ::CreateWindowExA(WS_EX_TOOLWINDOW, "Progman", "Program Manager",
                                      WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, nullptr, nullptr,
                                      wc.hInstance, nullptr);
            threadId_ = ::GetCurrentThreadId();
            ::SetEvent(ready);
            MSG msg;
            while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
            ::DestroyWindow(hwnd_);
        });
        ::WaitForSingleObject(ready, INFINITE);
        ::CloseHandle(ready);
    }
    ~ProgramManager() {
        ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    ProgramManager(const ProgramManager&) = delete;
    ProgramManager& operator=(const ProgramManager&) = delete;

    HWND Handle() const { return hwnd_; }
    bool Visible() const { return ::IsWindowVisible(hwnd_) != FALSE; }

private:
    std::thread thread_;
    HWND hwnd_ = nullptr;
    DWORD threadId_ = 0;
};

}  // namespace

TEST(Tray, RightClickOpensTheMenuAndRunSlideshowSwitchesTheSlideshowOff) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND icon = TrayIconWindow(program);
    ASSERT_NE(icon, nullptr);

    ::PostMessageA(icon, WM_USER + 1, 1, WM_RBUTTONUP);
    ASSERT_TRUE(WaitFor(MenuOpen));
    EXPECT_TRUE(trace.WaitForLine("TrayIcon: WndProc WM_RBUTTONUP"));
    SaveScreenshot("tray-menu");

    // "Run &Slideshow" by its access key.
    ::PostMessageA(icon, WM_CHAR, 's', 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(::FindWindowA("#32768", nullptr)); }));
    EXPECT_TRUE(WaitFor([&] { return program.Ini("Slideshow", "AutoChange") == "0"; }));

    // A double-click runs the default item, "Change Wallpaper &Now": with the
    // slideshow now off and an empty list, silently nothing. The pointer
    // moving over the icon afterwards is handled once the double-click is.
    ::PostMessageA(icon, WM_USER + 1, 1, WM_LBUTTONDBLCLK);
    ::PostMessageA(icon, WM_USER + 1, 1, WM_MOUSEMOVE);
    ASSERT_TRUE(trace.WaitForLine("TrayIcon: WndProc ELSE msg=1025"));
    EXPECT_TRUE(trace.Contains("TrayIcon: WndProc WM_LBUTTONDBLCLK"));
    EXPECT_FALSE(program.MessageBoxOpen());
}

// A restarted shell announces its new taskbar to the top-level windows, which
// hold no icons yet; the program must add its icon again.
TEST(Tray, TheIconComesBackWhenTheTaskbarIsCreatedAgain) {
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND icon = TrayIconWindow(program);
    ASSERT_NE(icon, nullptr);
    ASSERT_TRUE(ShellHoldsIcon(icon));

    // The shell forgets the icon, as a new taskbar has never known it.
    NOTIFYICONDATAA data = ShellRecord(icon);
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &data));
    ASSERT_FALSE(ShellHoldsIcon(icon));

    Broadcast("TaskbarCreated");
    EXPECT_TRUE(WaitFor([&] { return ShellHoldsIcon(icon); }));
}

TEST(Tray, StartWithWindowsKeepsAShortcutToTheProgram) {
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    const std::string shortcut =
        pictavo::CommonStartupFolder() + "\\" + pictavo::kStartupShortcutName;
    ::DeleteFileA(shortcut.c_str());
    Program program;
    program.QuietSettings();
    program.SetIni("General", "StartWithWindows", "1");
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    ASSERT_TRUE(WaitFor([&] { return Exists(shortcut); }));

    pictavo::testing::ShortcutContents contents = pictavo::testing::ReadShortcut(shortcut);
    ASSERT_TRUE(contents.read);
    EXPECT_EQ(Lower(contents.target), Lower(program.ExePath()));

    // Unchecked: gone 2.25 s later.
    HWND box = FindChildByText(program.MainWindow(), "Start with &Windows");
    ASSERT_NE(box, nullptr);
    ::SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_TRUE(Exists(shortcut));
    EXPECT_TRUE(WaitFor([&] { return !Exists(shortcut); }));
    ::CoUninitialize();
}

TEST(Tray, CloseAsksAndEndsTheProgramOnYesOnly) {
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND icon = TrayIconWindow(program);
    for (int answer : {IDNO, IDCANCEL, IDYES}) {
        ChooseFromTrayMenu(icon, 'c');
        auto box = program.WaitForMessageBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->text,
                  "Exiting Pictavo will disable Slideshow and Wallpaper Detection.\rExit Now?");
        box->Press(answer);
        if (answer != IDYES) {
            ASSERT_TRUE(program.WaitUntilIdle());
            EXPECT_TRUE(program.Running());
        }
    }
    EXPECT_TRUE(program.WaitForExit());
}

TEST(Tray, WallpaperNoneClearsTheWallpaperAndTheSlideshow) {
    Program program;
    program.QuietSettings();
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    ChooseFromTrayMenu(TrayIconWindow(program), 'o');
    HWND main = program.MainWindow();
    EXPECT_TRUE(WaitFor([&] { return Caption(main) == "(none) - Pictavo"; }));
    HWND slideshow = FindChildByText(main, "&Enable Slideshow");
    ASSERT_NE(slideshow, nullptr);
    EXPECT_TRUE(WaitFor([&] { return ::SendMessageA(slideshow, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
    EXPECT_TRUE(WaitFor([&] { return program.Ini("Slideshow", "AutoChange") == "0"; }));
}

TEST(Tray, TheIconsTipFollowsTheCaption) {
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    ChooseFromTrayMenu(TrayIconWindow(program), 'o');
    const std::string caption = "(none) - Pictavo";
    ASSERT_TRUE(WaitFor([&] { return Caption(program.MainWindow()) == caption; }));

    // The notification area fills the taskbar from its right end, one small
    // icon and its border per place. Rest the pointer on each place in turn
    // until one shows our tip; keep a picture of it for a person.
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
    ASSERT_NE(taskbar, nullptr);
    RECT bar{};
    ::GetWindowRect(taskbar, &bar);
    const int place = ::GetSystemMetrics(SM_CXSMICON) + 4;
    POINT pointer{};
    ::GetCursorPos(&pointer);
    std::vector<std::string> tips;
    bool shown = false;
    for (int i = 0; i < 8 && !shown; ++i) {
        const POINT at{bar.right - place * i - place / 2, (bar.top + bar.bottom) / 2};
        tips.push_back(ShellTipAt(at, taskbar, caption));
        shown = tips.back() == caption;
    }
    if (shown) SaveScreenshot("tray-tip");
    ::SetCursorPos(pointer.x, pointer.y);
    EXPECT_TRUE(shown) << "tips shown: " << ::testing::PrintToString(tips);
}

TEST(Tray, HiddenDesktopIconsComeBackWhenTheProgramEnds) {
    ProgramManager progman;
    ASSERT_EQ(::FindWindowA("Progman", "Program Manager"), progman.Handle());
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND icon = TrayIconWindow(program);

    // "H&ide Desktop Icons" hides them, a second time shows them again.
    ChooseFromTrayMenu(icon, 'i');
    EXPECT_TRUE(WaitFor([&] { return !progman.Visible(); }));
    ChooseFromTrayMenu(icon, 'i');
    EXPECT_TRUE(WaitFor([&] { return progman.Visible(); }));
    ChooseFromTrayMenu(icon, 'i');
    ASSERT_TRUE(WaitFor([&] { return !progman.Visible(); }));

    // "&Close", answered Yes: the icons are back once the program has ended.
    ChooseFromTrayMenu(icon, 'c');
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    box->Press(IDYES);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_TRUE(progman.Visible());
}
