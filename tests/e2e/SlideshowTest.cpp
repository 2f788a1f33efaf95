// The real program changing the desktop wallpaper on its slideshow interval.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>

#include "harness/Desktop.h"
#include "harness/Harness.h"
#include "harness/OtherPrograms.h"
#include "inventory/InventoryTable.h"
#include "inventory/TableFile.h"
#include "support/UnmappedDrive.h"

using namespace e2e;

namespace {

// Pictures in a folder of the program and a list that names them, written
// through the program's own table code.
void ListPictures(const Program& program, const std::vector<std::pair<std::string, bool>>& names) {
    const std::string folder = program.Folder() + "\\Pics";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ::CreateDirectoryA(program.DataDir().c_str(), nullptr);
    pictavo::InventoryTable table;
    unsigned char shade = 40;
    for (const auto& [name, tile] : names) {
        WriteFile(folder + "\\" + name, Bitmap(shade, 120, 255 - shade));
        shade += 70;
        pictavo::InventoryRecord record;
        record.Enabled = true;
        record.Tile = tile;
        record.FileName = name;
        record.Location = folder;
        record.Size = 64 * 64 * 3 + 54;
        table.Append(record);
    }
    WriteFile(program.TablePath(), pictavo::SerializeTable(table));
}

using pictavo::testing::UnmappedDrive;

// The "Next wallpaper hot key:" control of the main window.
HWND HotKeyControl(HWND main) { return FindChildByClass(main, HOTKEY_CLASSA); }

// Sets the control as a user's keys would, with the notice the control sends its page.
void EnterHotKey(HWND control, WORD value) {
    ::SendMessageA(control, HKM_SETHOTKEY, value, 0);
    ::PostMessageA(::GetParent(control), WM_COMMAND,
                   MAKEWPARAM(::GetDlgCtrlID(control), EN_CHANGE), reinterpret_cast<LPARAM>(control));
}

}  // namespace

TEST(Slideshow, ChangesTheWallpaperOnItsIntervalAndKeepsTheLastOneAtExit) {
    Program program;
    program.SetIni("General", "Verbose", "0");
    program.SetIni("Slideshow", "ChangeOnStartup", "1");
    program.SlideshowInListOrder(5);
    ListPictures(program, {{"Alpha.bmp", true}, {"Beta.bmp", false}, {"Gamma.bmp", true}});
    // The slides reach the desktop as the list spells them.
    const std::string folder = program.Folder() + "\\Pics\\";

    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    // The start-up slide, then one every 5 seconds, in list order.
    std::vector<std::string> seen;
    ASSERT_TRUE(WaitFor(
        [&] {
            std::string now = DesktopValue("Wallpaper");
            if (now.rfind(folder, 0) == 0 && (seen.empty() || seen.back() != now)) {
                seen.push_back(now);
                if (now == folder + "Beta.bmp") SaveScreenshot("wallpaper-centred");
                if (now == folder + "Gamma.bmp") SaveScreenshot("wallpaper-tiled");
            }
            return seen.size() >= 3;
        },
        40s));
    EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()).size(), 3u);
    for (size_t i = 1; i < seen.size(); ++i) EXPECT_NE(seen[i], seen[i - 1]);
    const std::string tile = DesktopValue("TileWallpaper");
    EXPECT_EQ(tile, seen.back() == folder + "Beta.bmp" ? "0" : "1");

    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit());
    const std::string last = DesktopValue("Wallpaper");
    EXPECT_EQ(program.Ini("Slideshow", "LastWallpaper"), last);
    EXPECT_EQ(last.rfind(folder, 0), 0u);
}

TEST(Slideshow, AnEmptyListSwitchesTheSlideshowOffWithAMessage) {
    Program program;
    program.SetIni("General", "Verbose", "0");
    program.SetIni("Slideshow", "ChangeOnStartup", "1");
    program.Start();
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "No images selected for slideshow!");
    box->Press(IDOK);
    // The switch's own save follows 2.25 s later.
    EXPECT_TRUE(WaitFor([&] { return program.Ini("Slideshow", "AutoChange") == "0"; }));
}

TEST(Slideshow, PicturesOnADriveThatIsNotThereStayInTheList) {
    const std::string drive = UnmappedDrive();
    ASSERT_FALSE(drive.empty());
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.SetIni("Slideshow", "ChangeOnStartup", "1");
    program.SetIni("Slideshow", "AutoChange", "1");
    program.SetIni("Slideshow", "Random", "1");
    ::CreateDirectoryA(program.DataDir().c_str(), nullptr);
    pictavo::InventoryTable table;
    for (const char* name : {"Alpha.bmp", "Beta.bmp", "Gamma.bmp"}) {
        pictavo::InventoryRecord record;
        record.Enabled = true;
        record.FileName = name;
        record.Location = drive + "\\Pictures";
        record.Size = 12342;
        table.Append(record);
    }
    WriteFile(program.TablePath(), pictavo::SerializeTable(table));

    // The start-up slide finds nothing it can show now: random tries, then one
    // ordered pass, and the slideshow switches itself off.
    program.Start();
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "No images selected for slideshow!");
    box->Press(IDOK);
    EXPECT_TRUE(WaitFor([&] { return program.Ini("Slideshow", "AutoChange") == "0"; }));
    EXPECT_TRUE(trace.WaitForLine("FrmMain.GetNextSlideInfo: Passed over, not reachable: " + drive +
                               "\\Pictures\\Alpha.bmp"));

    // Whatever the program saved on its way out still lists every picture.
    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit());
    const pictavo::TableParseResult saved = pictavo::ParseTable(ReadFile(program.TablePath()));
    ASSERT_TRUE(saved.Ok()) << saved.Error;
    ASSERT_EQ(saved.Records.size(), 3u);
    for (const auto& record : saved.Records) EXPECT_TRUE(record.Enabled) << record.FileName;
}

TEST(Slideshow, AFullScreenProgramHoldsTheSlideshowBackButNotTheUser) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.SlideshowInListOrder(2);
    ListPictures(program, {{"Alpha.bmp", true}, {"Beta.bmp", true}, {"Gamma.bmp", true}});
    const std::string folder = program.Folder() + "\\Pics\\";
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    ASSERT_TRUE(WaitFor([&] { return DesktopValue("Wallpaper").rfind(folder, 0) == 0; }));

    StandInWindow game(true);
    ASSERT_TRUE(game.Started());
    HWND window = game.WaitForForeground();
    ASSERT_NE(window, nullptr);
    // Two ticks pass, one after the other, with no change between them.
    const std::string passed =
        "SlideShow.tmrSlideTimer: Tick passed, another program's window fills the screen";
    trace.Clear();
    ASSERT_TRUE(trace.WaitForLine(passed));
    const std::string held = DesktopValue("Wallpaper");
    trace.Clear();
    ASSERT_TRUE(trace.WaitForLine(passed));
    EXPECT_EQ(DesktopValue("Wallpaper"), held);
    SaveScreenshot("full-screen-stand-in");

    // "Change Wallpaper &Now" (the tray icon's double-click) still acts.
    ::PostMessageA(TrayIconWindow(program), WM_USER + 1, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitFor([&] { return DesktopValue("Wallpaper") != held; }));
    EXPECT_EQ(::GetForegroundWindow(), window);

    // Once the program has gone the slideshow goes on.
    ASSERT_TRUE(game.Close());
    const std::string after = DesktopValue("Wallpaper");
    EXPECT_TRUE(WaitFor([&] { return DesktopValue("Wallpaper") != after; }));
    EXPECT_FALSE(program.MessageBoxOpen());
}

TEST(Slideshow, TheHotKeyPressedInAnotherProgramChangesTheWallpaper) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.SetIni("Slideshow", "AutoChange", "0");
    program.SetIni("Slideshow", "Random", "0");
    program.SetIni("General", "NextWallpaperHotKey", "Ctrl+Alt+N");
    ListPictures(program, {{"Alpha.bmp", true}, {"Beta.bmp", true}});
    const std::string folder = program.Folder() + "\\Pics\\";
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());

    StandInWindow editor(false);
    ASSERT_TRUE(editor.Started());
    ASSERT_NE(editor.WaitForForeground(), nullptr);
    const std::string before = DesktopValue("Wallpaper");
    PressKeys({VK_CONTROL, VK_MENU, 'N'});
    EXPECT_TRUE(WaitFor([&] {
        const std::string now = DesktopValue("Wallpaper");
        return now != before && now.rfind(folder, 0) == 0;
    }));
    EXPECT_TRUE(trace.WaitForLine("NextWallpaperHotKey: Ctrl+Alt+N pressed"));

    // Given back when the program ends.
    EXPECT_TRUE(HotKeyHeld(MOD_CONTROL | MOD_ALT, 'N'));
    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_FALSE(HotKeyHeld(MOD_CONTROL | MOD_ALT, 'N'));
}

// Another program holds the key for a moment at logon: told once, the key
// stays the user's choice in the field and the file, and it is taken at a
// later save once free.
TEST(Slideshow, AHotKeyAnotherProgramHoldsAtStartIsToldOnceKeptAndTakenOnceFree) {
    constexpr int kHeldId = 0x6667;
    ASSERT_TRUE(::RegisterHotKey(nullptr, kHeldId, MOD_CONTROL | MOD_ALT, 'H'));
    struct Unregister {
        bool held = true;
        void Now() {
            if (held) ::UnregisterHotKey(nullptr, kHeldId);
            held = false;
        }
        ~Unregister() { Now(); }
    } other;
    Program program;
    program.QuietSettings();
    program.SetIni("General", "NextWallpaperHotKey", "Ctrl+Alt+H");

    program.Start(":");
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text,
              "The hot key Ctrl+Alt+H is already used by another program.\rPlease choose another "
              "key.");
    ASSERT_TRUE(box->Press(IDOK));
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    HWND control = HotKeyControl(main);
    ASSERT_NE(control, nullptr);
    const WORD ctrlAltH = MAKEWORD('H', HOTKEYF_CONTROL | HOTKEYF_ALT);
    EXPECT_EQ(::SendMessageA(control, HKM_GETHOTKEY, 0, 0), ctrlAltH);

    // "&OK" saves the settings: the key is kept and tried again, without a word.
    ASSERT_TRUE(ClickButton(main, "&OK"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));
    EXPECT_EQ(program.Ini("General", "NextWallpaperHotKey"), "Ctrl+Alt+H");
    ASSERT_TRUE(program.WaitUntilIdle());
    EXPECT_FALSE(program.MessageBoxOpen());

    // Let go by the other program: the next save takes it.
    other.Now();
    Broadcast("RestorePictavo");
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    ASSERT_TRUE(ClickButton(main, "&OK"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));
    EXPECT_TRUE(HotKeyHeld(MOD_CONTROL | MOD_ALT, 'H'));
    EXPECT_EQ(program.Ini("General", "NextWallpaperHotKey"), "Ctrl+Alt+H");

    // Another key is taken up, and saved, once the keys rest; the first is given back.
    const WORD ctrlAltN = MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT);
    EnterHotKey(control, ctrlAltN);
    ASSERT_TRUE(
        WaitFor([&] { return program.Ini("General", "NextWallpaperHotKey") == "Ctrl+Alt+N"; }));
    EXPECT_TRUE(HotKeyHeld(MOD_CONTROL | MOD_ALT, 'N'));
    EXPECT_FALSE(HotKeyHeld(MOD_CONTROL | MOD_ALT, 'H'));
    ASSERT_TRUE(program.WaitUntilIdle());
    EXPECT_FALSE(program.MessageBoxOpen());
}
