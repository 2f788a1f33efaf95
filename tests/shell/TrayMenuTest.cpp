// The tray form's menu, the desktop icons and the start-up shortcut.
#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "platform/Files.h"
#include "shell/FrmTray.h"
#include "shell/StartupShortcut.h"

namespace pictavo {
namespace {

struct NoShell : IShellNotify {
    bool NotifyIcon(DWORD, const NOTIFYICONDATAA&) override { return true; }
};

struct RecordingHost : ITrayHost {
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
};

class TrayMenuTest : public ::testing::Test {
protected:
    NoShell shell;
    TFrmTray tray{shell};
    RecordingHost host;
    void SetUp() override { tray.SetHost(&host); }
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

    for (int round = 0; round < 2; ++round) {  // the second replaces the first
        EXPECT_EQ(SyncStartupShortcut(true, program), "");
        ASSERT_TRUE(FileExists(shortcut));
    }
    ShortcutContents contents = ReadShortcut(shortcut);
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
