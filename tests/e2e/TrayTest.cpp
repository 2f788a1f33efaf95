// The real program driven from its tray icon, and its start-up shortcut.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shellapi.h>

#include "harness/Harness.h"
#include "shell/StartupShortcut.h"

using namespace e2e;

namespace {

// The window the program registered with the shell: a hidden top-level window
// owned by the tray form.
HWND TrayIconWindow(const Program& program) {
    for (HWND top : TopLevelWindows(program.ProcessId())) {
        if (ClassOf(top) == "TTrayIcon") return top;
    }
    return nullptr;
}

// The shell's record of another program's icon: its window and identifier.
NOTIFYICONDATAA ShellRecord(HWND icon) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = icon;
    data.uID = 1;
    return data;
}

// A modify that changes nothing succeeds only while the shell holds the icon.
bool ShellHoldsIcon(HWND icon) {
    NOTIFYICONDATAA data = ShellRecord(icon);
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// Whether the program has a popup menu open. (Wine keeps menus per process:
// another program cannot read their items, so the captions are checked in the
// unit tests and by the screenshot.)
bool MenuOpen() {
    HWND popup = ::FindWindowA("#32768", nullptr);
    return popup && ::IsWindowVisible(popup);
}

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
    EXPECT_TRUE(trace.Contains("TrayIcon: WndProc WM_RBUTTONUP"));
    SaveScreenshot("tray-menu");

    // "Run &Slideshow" by its access key.
    ::PostMessageA(icon, WM_CHAR, 's', 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(::FindWindowA("#32768", nullptr)); }));
    EXPECT_TRUE(WaitFor([&] { return program.Ini("Slideshow", "AutoChange") == "0"; }));

    // A double-click runs the default item, "Change Wallpaper &Now": with the
    // slideshow now off and an empty list, silently nothing.
    ::PostMessageA(icon, WM_USER + 1, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(trace.WaitForLine("TrayIcon: WndProc WM_LBUTTONDBLCLK"));
    EXPECT_FALSE(program.WaitForMessageBox(1s).has_value());
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
    program.SetIni("General", "Verbose", "0");
    program.SetIni("Slideshow", "ChangeOnStartup", "0");
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    ASSERT_TRUE(WaitFor([&] { return Exists(shortcut); }));

    pictavo::ShortcutContents contents = pictavo::ReadShortcut(shortcut);
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

namespace {

// Chooses a tray menu item by its access key.
void ChooseFromTrayMenu(HWND icon, char key) {
    ::PostMessageA(icon, WM_USER + 1, 1, WM_RBUTTONUP);
    ASSERT_TRUE(WaitFor(MenuOpen));
    ::PostMessageA(icon, WM_CHAR, key, 0);
    ASSERT_TRUE(WaitFor([] { return !MenuOpen(); }));
}

}  // namespace

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

TEST(Tray, TheIconsTipShowsTheCaption) {
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    // The notification area sits at the bottom right of the virtual desktop:
    // rest the pointer on the icon and keep a picture of the tip for a person.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 12, ::GetSystemMetrics(SM_CYSCREEN) - 10);
    WaitFor([] {
        HWND tip = ::FindWindowA("tooltips_class32", nullptr);
        return tip && ::IsWindowVisible(tip);
    }, 5s);
    SaveScreenshot("tray-tip");
}
