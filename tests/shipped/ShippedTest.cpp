// The program and the installer as users get them: the 32-bit pictavo.exe and
// pictavo-setup.exe, driven from this test program in the same Wine session.
// scripts/test-shipped.sh runs it: built as a 32-bit program where the machine
// runs 32-bit programs, and as a 64-bit one where it cannot and the 32-bit
// processes run under qemu-i386; there each takes the better part of a minute
// to start, so the waits for a start are long.
#include <gtest/gtest.h>

#include <set>

#include "harness/Desktop.h"
#include "harness/Harness.h"
#include "harness/OtherPrograms.h"
#include "inventory/InventoryTable.h"
#include "imaging/PictureRules.h"
#include "inventory/TableFile.h"
#include "support/PictureFiles.h"

using namespace e2e;

namespace {

// A 32-bit process starting under emulation, on a loaded machine.
constexpr Duration kStart = std::chrono::minutes(10);
// A step of a program already running.
constexpr Duration kStep = std::chrono::minutes(2);

std::string BuiltFolder() {
    const std::string program = BuiltProgram();
    return program.substr(0, program.find_last_of('\\'));
}

// The machine a Windows program file was built for, from its PE header.
WORD MachineOf(const std::string& path) {
    const std::string image = ReadFile(path);
    if (image.size() < 0x40 || image.compare(0, 2, "MZ") != 0) return 0;
    const auto at = [&](size_t offset) {
        return static_cast<unsigned char>(image[offset]) |
               static_cast<unsigned char>(image[offset + 1]) << 8;
    };
    const size_t pe = at(0x3C) | at(0x3E) << 16;
    if (image.size() < pe + 6 || image.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return 0;
    return static_cast<WORD>(at(pe + 4));
}

// Whether the process runs as a 32-bit program: under a 64-bit system one that
// runs under WOW64, under a 32-bit system (a 32-bit Wine prefix) every one.
bool Is32BitProcess(DWORD processId) {
    BOOL selfWow64 = FALSE;
    if (sizeof(void*) == 4 && ::IsWow64Process(::GetCurrentProcess(), &selfWow64) && !selfWow64) {
        return true;
    }
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    BOOL wow64 = FALSE;
    const bool asked = process && ::IsWow64Process(process, &wow64);
    if (process) ::CloseHandle(process);
    return asked && wow64;
}

// Chooses a tray menu item by its access key, keeping a picture of the open menu.
void ChooseFromTrayMenu(HWND icon, char key, const std::string& screenshot) {
    ::PostMessageA(icon, WM_USER + 1, 1, WM_RBUTTONUP);
    ASSERT_TRUE(WaitFor(MenuOpen, kStep));
    SaveScreenshot(screenshot);
    ::PostMessageA(icon, WM_CHAR, key, 0);
    ASSERT_TRUE(WaitFor([] { return !MenuOpen(); }, kStep));
}

std::set<std::string> ListedPaths(const std::vector<pictavo::InventoryRecord>& records) {
    std::set<std::string> paths;
    for (const auto& record : records) paths.insert(Lower(record.Location + "\\" + record.FileName));
    return paths;
}

// Three bitmaps in the program's data folder and a list that names them.
std::vector<pictavo::InventoryRecord> ListThreeBitmaps(const Program& program) {
    EXPECT_TRUE(::CreateDirectoryA(program.DataDir().c_str(), nullptr));
    std::vector<pictavo::InventoryRecord> records;
    const unsigned char shades[][3] = {{200, 40, 40}, {40, 200, 40}, {40, 40, 200}};
    for (int i = 0; i < 3; ++i) {
        pictavo::InventoryRecord record;
        record.Enabled = true;
        record.Tile = i != 1;
        record.FileName = "picture" + std::to_string(i + 1) + ".bmp";
        record.Location = program.DataDir();
        record.Order = i;
        WriteFile(record.Location + "\\" + record.FileName, Bitmap(shades[i][0], shades[i][1], shades[i][2]));
        records.push_back(record);
    }
    pictavo::InventoryTable table;
    table.Assign(records);
    WriteFile(program.TablePath(), pictavo::SerializeTable(table));
    return records;
}

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pictavo";

// A 32-bit setup writes the 32-bit view of HKLM\Software (Wow6432Node).
std::string UninstallValue(const char* name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                        &key) != ERROR_SUCCESS) {
        return "<no key>";
    }
    char value[MAX_PATH * 2] = {};
    DWORD size = sizeof(value) - 1;
    const LSTATUS read = ::RegGetValueA(key, nullptr, name, RRF_RT_REG_SZ, nullptr, value, &size);
    ::RegCloseKey(key);
    return read == ERROR_SUCCESS ? value : "<missing>";
}

// Runs a program and waits for it; its exit code, ~0 when it did not end in time.
DWORD RunAndWait(const std::string& commandLine) {
    ChildProcess child(commandLine);
    EXPECT_TRUE(child.Started()) << commandLine;
    return child.Ended(kStart) ? child.ExitCode() : ~0u;
}

}  // namespace

TEST(Shipped, TheProgramIsThe32BitBuild) {
    EXPECT_EQ(MachineOf(BuiltProgram()), IMAGE_FILE_MACHINE_I386) << BuiltProgram();
    EXPECT_EQ(MachineOf(BuiltFolder() + "\\pictavo-setup.exe"), IMAGE_FILE_MACHINE_I386);
}

// A first run in a folder that already holds a list of three bitmaps: the
// tray icon, "Change Wallpaper &Now" from its menu, and "ShutdownPictavo".
TEST(Shipped, AFirstRunChangesTheWallpaperFromTheTrayAndEndsWithItsListWhole) {
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    WIN32_FIND_DATAA found{};
    HANDLE find = ::FindFirstFileA((std::string(windows) + "\\*.bmp").c_str(), &found);
    // A first run offers the Windows directory's bitmaps first; this prefix has none.
    ASSERT_EQ(find, INVALID_HANDLE_VALUE) << "a bitmap in " << windows << ": " << found.cFileName;

    Program program;  // no settings file: a first run
    const std::vector<pictavo::InventoryRecord> records = ListThreeBitmaps(program);
    const std::set<std::string> listed = ListedPaths(records);

    program.Start();
    auto welcome = program.WaitForMessageBox(kStart);
    ASSERT_TRUE(welcome.has_value()) << "the program showed nothing within the time";
    EXPECT_TRUE(Is32BitProcess(program.ProcessId()));
    EXPECT_EQ(welcome->text.rfind("Slideshow will change your wallpaper every 5 minutes.", 0), 0u)
        << welcome->text;
    ASSERT_TRUE(welcome->Press(IDOK));
    // No help file beside this copy: said once.
    auto noHelp = program.WaitForMessageBox(kStep);
    ASSERT_TRUE(noHelp.has_value());
    EXPECT_EQ(noHelp->text, "Unable to find the help file " + program.HelpPath() + ".");
    ASSERT_TRUE(noHelp->Press(IDOK));

    // The first slide shows a picture of the list.
    std::string first;
    EXPECT_TRUE(WaitFor(
        [&] {
            first = Lower(DesktopValue("Wallpaper"));
            return listed.count(first) != 0;
        },
        kStep))
        << "wallpaper: " << first;
    ASSERT_TRUE(program.WaitUntilIdle(kStep));
    HWND icon = TrayIconWindow(program);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(WaitFor([&] { return ShellHoldsIcon(icon); }, kStep));

    ChooseFromTrayMenu(icon, 'n', "shipped-tray-menu");
    std::string next;
    EXPECT_TRUE(WaitFor(
        [&] {
            next = Lower(DesktopValue("Wallpaper"));
            return next != first && listed.count(next) != 0;
        },
        kStep))
        << "wallpaper: " << next << ", before: " << first;
    EXPECT_FALSE(program.MessageBoxOpen());

    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit(kStep));
    EXPECT_EQ(Lower(DesktopValue("Wallpaper")), next);  // kept at exit
    const pictavo::TableParseResult saved = pictavo::ParseTable(ReadFile(program.TablePath()));
    ASSERT_TRUE(saved.Ok()) << saved.Error;
    EXPECT_EQ(ListedPaths(saved.Records), listed);
}

// A JPEG reaches the desktop through the program's own bitmap, which the
// 32-bit program decodes with the 32-bit imaging component of the system.
TEST(Shipped, AJpegBecomesTheWallpaperThroughTheProgramsOwnBitmap) {
    TraceCollector trace;
    Program program;
    program.SetIni("General", "Verbose", "0");
    program.SetIni("General", "StartWithWindows", "0");
    program.SetIni("Slideshow", "ChangeOnStartup", "1");
    ASSERT_TRUE(::CreateDirectoryA(program.DataDir().c_str(), nullptr));
    pictavo::InventoryRecord record;
    record.Enabled = true;
    record.Tile = false;
    record.FileName = "harbour.jpg";
    record.Location = program.DataDir();
    const std::string jpeg = record.Location + "\\" + record.FileName;
    pictavo::testing::WritePicture(jpeg, pictavo::testing::PictureFormat::Jpeg, 90, 60, 0x2060C0);
    pictavo::InventoryTable table;
    table.Assign({record});
    WriteFile(program.TablePath(), pictavo::SerializeTable(table));
    const auto traced = [&] {
        std::string lines;
        for (const auto& line : trace.Texts()) lines += "\n  " + line;
        return lines;
    };

    program.Start();
    const std::string own = Lower(program.Folder() + "\\pictavo.bmp");
    // Ends early when the program says it could not set the picture.
    const auto refused = [&] { return traced().find("Unable to set") != std::string::npos; };
    (void)WaitFor([&] { return Lower(DesktopValue("Wallpaper")) == own || refused(); }, kStart);
    ASSERT_EQ(Lower(DesktopValue("Wallpaper")), own) << "trace:" << traced();
    EXPECT_TRUE(WaitFor([&] { return Lower(program.Ini("Slideshow", "WallpaperSource")) == Lower(jpeg); },
                        kStep))
        << program.Ini("Slideshow", "WallpaperSource");
    // Centred and smaller than the screen: kept at its size, 24 bits a pixel
    // in rows padded to four bytes.
    const std::string bitmap = ReadFile(own);
    EXPECT_EQ(pictavo::HeaderPixelSize(bitmap.substr(0, 64)), (pictavo::PixelSize{90, 60}));
    EXPECT_EQ(bitmap.size(), 54u + 272u * 60u);
    EXPECT_EQ(DesktopValue("TileWallpaper"), "0");
    EXPECT_FALSE(program.MessageBoxOpen()) << "trace:" << traced();

    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit(kStep));
    EXPECT_EQ(Lower(DesktopValue("Wallpaper")), own);  // kept at exit
}

// The pause and the hot key go through calls the 32-bit program makes itself:
// the notification state, found at run time, and the system's hot keys.
TEST(Shipped, AFullScreenProgramHoldsTheSlideshowBackAndTheHotKeyStillActs) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.SlideshowInListOrder(2);
    program.SetIni("General", "NextWallpaperHotKey", "Ctrl+Alt+N");
    const std::set<std::string> listed = ListedPaths(ListThreeBitmaps(program));
    const auto shown = [&] { return listed.count(Lower(DesktopValue("Wallpaper"))) != 0; };

    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle(kStart));
    EXPECT_TRUE(Is32BitProcess(program.ProcessId()));
    ASSERT_TRUE(WaitFor(shown, kStep)) << DesktopValue("Wallpaper");

    StandInWindow game(true);
    ASSERT_TRUE(game.Started());
    ASSERT_NE(game.WaitForForeground(kStep), nullptr);
    // Two ticks pass, one after the other, with no change between them.
    const std::string passed =
        "SlideShow.tmrSlideTimer: Tick passed, another program's window fills the screen";
    trace.Clear();
    ASSERT_TRUE(trace.WaitForLine(passed, kStep));
    const std::string held = DesktopValue("Wallpaper");
    trace.Clear();
    ASSERT_TRUE(trace.WaitForLine(passed, kStep));
    EXPECT_EQ(DesktopValue("Wallpaper"), held);

    // The user's key still acts, pressed while the other program has the focus.
    PressKeys({VK_CONTROL, VK_MENU, 'N'});
    EXPECT_TRUE(WaitFor([&] { return DesktopValue("Wallpaper") != held && shown(); }, kStep))
        << DesktopValue("Wallpaper");
    EXPECT_TRUE(trace.WaitForLine("NextWallpaperHotKey: Ctrl+Alt+N pressed", kStep));

    // Once the other program has gone the slideshow goes on.
    ASSERT_TRUE(game.Close(kStep));
    const std::string after = DesktopValue("Wallpaper");
    EXPECT_TRUE(WaitFor([&] { return DesktopValue("Wallpaper") != after; }, kStep));
    EXPECT_FALSE(program.MessageBoxOpen());

    EXPECT_TRUE(HotKeyHeld(MOD_CONTROL | MOD_ALT, 'N'));
    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit(kStep));
    EXPECT_FALSE(HotKeyHeld(MOD_CONTROL | MOD_ALT, 'N'));  // given back at exit
}

// A silent install, then its uninstaller, which removes the program and keeps
// the user's pictures and settings.
TEST(Shipped, SetupInstallsSilentlyAndTheUninstallerKeepsTheUsersFiles) {
    TempFolder folder;
    const std::string dir = folder / "Pictavo";
    ASSERT_EQ(RunAndWait("\"" + BuiltFolder() + "\\pictavo-setup.exe\" /S /NOSTARTUP /D=" + dir), 0u);
    EXPECT_TRUE(ReadFile(dir + "\\pictavo.exe") == ReadFile(BuiltProgram()));
    EXPECT_TRUE(Exists(dir + "\\pictavo.chm"));
    EXPECT_TRUE(Exists(dir + "\\uninstall.exe"));
    EXPECT_EQ(UninstallValue("DisplayName"), "Pictavo");
    EXPECT_EQ(Lower(UninstallValue("InstallLocation")), Lower(dir));
    EXPECT_FALSE(Exists(Program::StartupShortcut()));

    ::CreateDirectoryA((dir + "\\Images").c_str(), nullptr);
    WriteFile(dir + "\\Images\\mine.bmp", Bitmap(10, 20, 30));
    WriteFile(dir + "\\pictavo.INI", "[General]\r\nVerbose=0\r\n");
    // In place (it would otherwise copy itself to the temporary folder and
    // return at once), so it cannot delete itself.
    EXPECT_EQ(RunAndWait("\"" + dir + "\\uninstall.exe\" /S _?=" + dir), 0u);
    ::DeleteFileA((dir + "\\uninstall.exe").c_str());
    EXPECT_FALSE(Exists(dir + "\\pictavo.exe"));
    EXPECT_FALSE(Exists(dir + "\\pictavo.chm"));
    EXPECT_EQ(UninstallValue("DisplayName"), "<no key>");
    EXPECT_TRUE(Exists(dir + "\\Images\\mine.bmp"));
    EXPECT_TRUE(Exists(dir + "\\pictavo.INI"));
}
