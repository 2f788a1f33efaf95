// The tray form's menu, the desktop icons and the start-up shortcut.
#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "platform/Files.h"
#include "shell/FrmTray.h"
#include "shell/StartupShortcut.h"
#include "support/FakeShell.h"
#include "support/Shortcut.h"

namespace pictavo {
namespace {

// The slideshow, the wallpaper and the main window, as the menu reaches them.
struct RecordingHost : ITrayHost, ISlideControl, IWallpaperMenu, IPasteWallpaper {
    std::vector<std::string> calls;
    std::string interval = "5 mins";
    void tmrSlideTimer() override { calls.push_back("tmrSlideTimer"); }
    void RunSlideshow1Click() override { calls.push_back("RunSlideshow1Click"); }
    void tbnNoneClick() override { calls.push_back("tbnNoneClick"); }
    void DisableThisWallpaperImage1Click(const void*) override { calls.push_back("Disable"); }
    void mnuToggleTiledClick(const void*) override { calls.push_back("Toggle"); }
    void mnuContents1Click() override { calls.push_back("Contents"); }
    void About1Click() override { calls.push_back("About"); }
    void mnuSetWallpaperfromClipboardClick() override { calls.push_back("Paste"); }
    void ShowPictavo1Click() override { calls.push_back("ShowPictavo1Click"); }
    void mnuClose1Click() override { calls.push_back("mnuClose1Click"); }
    std::string SlideIntervalText() const override { return interval; }
    void RestartSlideCountdown() override { calls.push_back("RestartSlideCountdown"); }
    void ShowNextSlide() override { calls.push_back("ShowNextSlide"); }
};

class TrayMenuTest : public ::testing::Test {
protected:
    testing::FakeShell shell;
    TFrmTray tray{shell};
    RecordingHost host;
    void SetUp() override { tray.Attach({host, host, host, host}); }
};

TEST_F(TrayMenuTest, ItemsInTheirOrderWithTheirMarks) {
    std::vector<std::string> captions;
    for (const auto& item : tray.menuIcon.Items()) captions.push_back(item.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{
                            "Change Wallpaper &Now", "Run &Slideshow", "Wallpaper = (n&one)",
                            "H&ide Desktop Icons", "", "&Disable this Wallpaper",
                            "Change &Tile Mode", "", "&Help", "&Paste Wallpaper from Clipboard",
                            "Pictavo P&roperties", "", "&Close"}));
    EXPECT_TRUE(tray.Item(tray.mnuChangeWallpaperNow).isDefault);
    EXPECT_TRUE(tray.RunSlideshowChecked());
    EXPECT_FALSE(tray.DesktopIconsHidden());
    EXPECT_EQ(tray.TrayIcon1->Hint(), "Loading Pictavo...");
    EXPECT_FALSE(tray.TrayIcon1->CanShowMenu());
}

TEST_F(TrayMenuTest, ItemsForwardToTheMainWindow) {
    for (size_t index : {tray.mnuChangeWallpaperNow, tray.mnuRunSlideshow, tray.mnuBlankWallpaper,
                         tray.mnuDisableThisWallpaperImage, tray.mnuToggleTiled,
                         tray.mnuSetWallpaperfromClipboard, tray.mnuShowPictavo, tray.mnuClose}) {
        tray.Item(index).onClick(&tray.menuIcon);
    }
    tray.menuIcon.SubmenuCommand(1001);
    tray.menuIcon.SubmenuCommand(1002);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"tmrSlideTimer", "RunSlideshow1Click", "tbnNoneClick",
                                        "Disable", "Toggle", "Paste", "ShowPictavo1Click",
                                        "mnuClose1Click", "Contents", "About"}));
}

TEST_F(TrayMenuTest, BeforePopupShowsTheIntervalAndTheClipboardState) {
    const struct {
        const char* interval;
        bool bitmap;
    } cases[] = {{"5 mins", true}, {"never", false}, {"1 hrs 30 mins", true}};
    // The clipboard outlives this program: later tests find it empty.
    struct EmptyAtEnd {
        HWND owner;
        ~EmptyAtEnd() {
            if (::OpenClipboard(owner)) {
                ::EmptyClipboard();
                ::CloseClipboard();
            }
        }
    } emptyAtEnd{tray.Handle()};
    for (const auto& c : cases) {
        host.interval = c.interval;
        ASSERT_TRUE(::OpenClipboard(tray.Handle()));
        ::EmptyClipboard();
        if (c.bitmap) {
            ::SetClipboardData(CF_BITMAP, ::CreateBitmap(4, 4, 1, 32, nullptr));
        } else {
            HGLOBAL text = ::GlobalAlloc(GMEM_MOVEABLE, 2);
            static_cast<char*>(::GlobalLock(text))[0] = 'x';
            ::GlobalUnlock(text);
            ::SetClipboardData(CF_TEXT, text);
        }
        ::CloseClipboard();
        tray.TrayIcon1BeforePopup(tray.TrayIcon1.get());
        EXPECT_EQ(tray.Item(tray.mnuRunSlideshow).caption,
                  std::string("Run &Slideshow (") + c.interval + ")");
        EXPECT_EQ(tray.Item(tray.mnuSetWallpaperfromClipboard).enabled, c.bitmap);
    }
}

// What a broadcast reaches: the top-level windows, here those of this thread.
void SendToTopLevelWindows(UINT message) {
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM message) WINAPI -> BOOL {
            ::SendMessageA(hwnd, static_cast<UINT>(message), 0, 0);
            return TRUE;
        },
        message);
}

TEST_F(TrayMenuTest, ANewTaskbarGetsTheIconBackWithItsTip) {
    tray.TrayIcon1->SetHint("sunset.bmp - Pictavo");
    shell.calls.clear();
    SendToTopLevelWindows(::RegisterWindowMessageA("TaskbarCreated"));
    ASSERT_EQ(shell.Messages(), std::vector<DWORD>{NIM_ADD});
    EXPECT_EQ(shell.calls[0].data.hWnd, tray.TrayIcon1->Handle());
    EXPECT_STREQ(shell.calls[0].data.szTip, "sunset.bmp - Pictavo");
}

// The menu as the system shows it: each item's text and whether it is checked.
struct ShownItem {
    std::string text;
    bool checked;
};

// Right-clicks the icon and reads the real popup menu while it is open, then closes it.
std::vector<ShownItem> OpenAndReadMenu(TTrayIcon& icon) {
    static std::vector<ShownItem> shown;
    static int ticks;
    shown.clear();
    ticks = 0;
    // Runs inside the menu's own message loop.
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) WINAPI {
        HWND popup = ::FindWindowA("#32768", nullptr);
        if (popup && ::IsWindowVisible(popup)) {
            HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(popup, MN_GETHMENU, 0, 0));
            for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
                char text[256] = {};
                ::GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
                shown.push_back({text, (::GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED) != 0});
            }
        }
        // Never left open, also when it fails to show.
        if (!shown.empty() || ++ticks > 500) ::EndMenu();
    });
    ::SendMessageA(icon.Handle(), icon.CallbackMessage(), icon.IconID, WM_RBUTTONUP);
    ::KillTimer(nullptr, timer);
    return shown;
}

TEST_F(TrayMenuTest, CheckMarksShowOnTheirOwnItemsInTheOpenedMenu) {
    tray.TrayIcon1->SetCanShowMenu(true);
    const struct {
        bool slideshow, iconsHidden;
    } cases[] = {{true, false}, {false, true}, {true, true}, {false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "slideshow " << c.slideshow << ", icons hidden "
                                        << c.iconsHidden);
        tray.SetRunSlideshowChecked(c.slideshow);
        if (tray.DesktopIconsHidden() != c.iconsHidden) tray.mnuHideDesktopIconsClick(nullptr);
        std::vector<std::string> checked;
        const std::vector<ShownItem> shown = OpenAndReadMenu(*tray.TrayIcon1);
        ASSERT_EQ(shown.size(), tray.menuIcon.Items().size());
        for (const ShownItem& item : shown) {
            if (item.checked) checked.push_back(item.text);
        }
        std::vector<std::string> expected;
        if (c.slideshow) expected.push_back("Run &Slideshow (5 mins)");
        if (c.iconsHidden) expected.push_back("H&ide Desktop Icons");
        EXPECT_EQ(checked, expected);
    }
}

TEST_F(TrayMenuTest, HidingDesktopIconsFlipsTheMarkAndTheProgramManager) {
    // Without a Program Manager window only the mark flips.
    tray.mnuHideDesktopIconsClick(nullptr);
    EXPECT_TRUE(tray.DesktopIconsHidden());
    tray.mnuHideDesktopIconsClick(nullptr);
    EXPECT_FALSE(tray.DesktopIconsHidden());

    // A stand-in with the shell's class name and title.
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "Progman";
    ::RegisterClassA(&wc);
    HWND progman = ::CreateWindowExA(0, "Progman", "Program Manager", WS_POPUP | WS_VISIBLE, 0, 0, 10,
                                10, nullptr, nullptr, wc.hInstance, nullptr);
    tray.mnuHideDesktopIconsClick(nullptr);
    EXPECT_FALSE(::IsWindowVisible(progman));
    tray.mnuHideDesktopIconsClick(nullptr);
    EXPECT_TRUE(::IsWindowVisible(progman));
    ShowDesktopIcons(false);
    ShowDesktopIcons(true);
    EXPECT_TRUE(::IsWindowVisible(progman));
    ::DestroyWindow(progman);
}

TEST(StartupShortcut, WrittenPointingAtTheProgramAndDeletedWhenNotWanted) {
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    const std::string folder = CommonStartupFolder();
    ASSERT_FALSE(folder.empty());
    const std::string shortcut = folder + "\\Pictavo Tray Icon.lnk";
    const std::string program = ExePath();
    // Also when an assertion ends the test early.
    struct RemoveAtEnd {
        const std::string& path;
        ~RemoveAtEnd() { ::DeleteFileA(path.c_str()); }
    } removeAtEnd{shortcut};

    for (int round = 0; round < 2; ++round) {  // the second replaces the first
        EXPECT_EQ(SyncStartupShortcut(true, program), "");
        ASSERT_TRUE(FileExists(shortcut));
    }
    testing::ShortcutContents contents = testing::ReadShortcut(shortcut);
    ASSERT_TRUE(contents.read);
    EXPECT_STRCASEEQ(contents.target.c_str(), program.c_str());
    EXPECT_STRCASEEQ(contents.workingDirectory.c_str(), ExtractFileDir(program).c_str());

    EXPECT_EQ(SyncStartupShortcut(false, program), "");
    EXPECT_FALSE(FileExists(shortcut));
    EXPECT_EQ(SyncStartupShortcut(false, program), "");  // nothing there: nothing to say
    ::CoUninitialize();
}

}  // namespace
}  // namespace pictavo
