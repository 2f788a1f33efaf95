// pictavo-setup.exe under Wine: a silent install into a temporary folder, its
// files, shortcuts and Add/Remove Programs entry, then silent uninstalls that
// keep the user's pictures and settings unless asked to remove them.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <memory>

#include "harness/Desktop.h"
#include "harness/Harness.h"
#include "support/CommandRecorder.h"
#include "support/Shortcut.h"

using namespace e2e;

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pictavo";

std::string BuiltFolder() {
    const std::string program = BuiltProgram();
    return program.substr(0, program.find_last_of('\\'));
}

// Runs a program with its arguments and waits for it; returns its exit code.
DWORD RunAndWait(const std::string& commandLine) {
    ChildProcess child(commandLine);
    return child.Ended(120s) ? child.ExitCode() : ~0u;
}

std::string UninstallValue(const char* name) {
    char value[MAX_PATH * 2] = {};
    DWORD size = sizeof(value) - 1;
    if (::RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value,
                       &size) != ERROR_SUCCESS) {
        return "<missing>";
    }
    return value;
}

std::string CommonPrograms() {
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, path);
    return path;
}

std::string StartupShortcut() { return Program::StartupShortcut(); }

std::string Setting(const std::string& ini, const char* section, const char* key) {
    char value[256] = {};
    ::GetPrivateProfileStringA(section, key, "<missing>", value, sizeof(value), ini.c_str());
    return value;
}

struct Installed {
    TempFolder folder;
    std::string dir = folder / "Pictavo";
    explicit Installed(const std::string& options = "") {
        EXPECT_EQ(RunAndWait("\"" + BuiltFolder() + "\\pictavo-setup.exe\" /S " + options +
                             (options.empty() ? "" : " ") + "/D=" + dir),
                  0u);
    }
    // A failed test leaves no start-up shortcut to its temporary program.
    ~Installed() { ::DeleteFileA(StartupShortcut().c_str()); }
    // Runs the uninstaller in place (it would otherwise copy itself to the
    // temporary folder and return at once); it cannot delete itself then.
    void Uninstall(const std::string& options) {
        EXPECT_EQ(RunAndWait("\"" + dir + "\\uninstall.exe\" /S " + options + " _?=" + dir), 0u);
        ::DeleteFileA((dir + "\\uninstall.exe").c_str());
        ::RemoveDirectoryA(dir.c_str());
    }
};

// The installed pictavo.exe, started in its folder as its shortcut starts it.
class Started : public ChildProcess {
public:
    explicit Started(const std::string& dir) : ChildProcess("\"" + dir + "\\pictavo.exe\"", dir) {}
    // Its main window exists (hidden: the program starts in the tray).
    bool HasMainWindow() const {
        for (HWND top : TopLevelWindows(ProcessId())) {
            if (ClassOf(top) == "TFrmMain") return true;
        }
        return false;
    }
};

void ExpectNothingOfTheProgram(const std::string& dir) {
    EXPECT_FALSE(Exists(StartupShortcut()));
    EXPECT_FALSE(Exists(dir + "\\pictavo.exe"));
    EXPECT_FALSE(Exists(dir + "\\pictavo.chm"));
    EXPECT_EQ(UninstallValue("DisplayName"), "<missing>");
    EXPECT_FALSE(Exists(CommonPrograms() + "\\Pictavo"));
}

}  // namespace

TEST(Installer, SilentInstallAndUninstallKeepTheUsersPictures) {
    Installed installed;
    const std::string& dir = installed.dir;
    EXPECT_TRUE(Exists(dir + "\\pictavo.exe"));
    EXPECT_TRUE(Exists(dir + "\\pictavo.chm"));
    EXPECT_EQ(UninstallValue("DisplayName"), "Pictavo");
    EXPECT_EQ(UninstallValue("Publisher"), "Norvex Software Inc.");
    EXPECT_EQ(UninstallValue("DisplayVersion"), "1.1.0.636");
    EXPECT_EQ(Lower(UninstallValue("UninstallString")), Lower("\"" + dir + "\\uninstall.exe\""));
    EXPECT_EQ(Lower(UninstallValue("DisplayIcon")), Lower(dir + "\\pictavo.exe,0"));
    DWORD size = 0, bytes = sizeof(size);
    EXPECT_EQ(::RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize", RRF_RT_REG_DWORD,
                             nullptr, &size, &bytes),
              ERROR_SUCCESS);
    EXPECT_GT(size, 100u);  // kilobytes: the program and its help
    // Each shortcut leads to what it names; the start-up one is ticked by
    // default, as the program's own "Start with Windows" is, and the choice is
    // written into its settings, which still leave the first start a first run.
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    const std::pair<std::string, std::string> shortcuts[] = {
        {CommonPrograms() + "\\Pictavo\\Pictavo.lnk", dir + "\\pictavo.exe"},
        {CommonPrograms() + "\\Pictavo\\Pictavo Help.lnk", dir + "\\pictavo.chm"},
        {CommonPrograms() + "\\Pictavo\\Uninstall Pictavo.lnk", dir + "\\uninstall.exe"},
        {StartupShortcut(), dir + "\\pictavo.exe"},
    };
    for (const auto& [shortcut, target] : shortcuts) {
        const auto contents = pictavo::testing::ReadShortcut(shortcut);
        EXPECT_TRUE(contents.read) << shortcut;
        EXPECT_EQ(Lower(contents.target), Lower(target)) << shortcut;
    }
    ::CoUninitialize();
    EXPECT_EQ(Setting(dir + "\\pictavo.INI", "General", "StartWithWindows"), "1");

    ::CreateDirectoryA((dir + "\\Images").c_str(), nullptr);
    WriteFile(dir + "\\Images\\mine.bmp", Bitmap(10, 20, 30));
    WriteFile(dir + "\\pictavo.INI", "[General]\r\nVerbose=0\r\n");
    installed.Uninstall("");
    ExpectNothingOfTheProgram(dir);
    EXPECT_TRUE(Exists(dir + "\\Images\\mine.bmp"));
    EXPECT_TRUE(Exists(dir + "\\pictavo.INI"));
    ::DeleteFileA((dir + "\\Images\\mine.bmp").c_str());
    ::RemoveDirectoryA((dir + "\\Images").c_str());
    ::DeleteFileA((dir + "\\pictavo.INI").c_str());
    ::RemoveDirectoryA(dir.c_str());
}

TEST(Installer, UninstallAskedToRemoveTheUsersFilesLeavesNothing) {
    Installed installed;
    const std::string& dir = installed.dir;
    ::CreateDirectoryA((dir + "\\Images").c_str(), nullptr);
    WriteFile(dir + "\\Images\\mine.bmp", Bitmap(10, 20, 30));
    WriteFile(dir + "\\pictavo.INI", "[General]\r\nVerbose=0\r\n");
    installed.Uninstall("/REMOVEDATA");
    ExpectNothingOfTheProgram(dir);
    EXPECT_FALSE(Exists(dir));
}

TEST(Installer, InstallingOverTheRunningProgramEndsItAndKeepsItsList) {
    Installed installed;
    const std::string& dir = installed.dir;
    const std::string ini = dir + "\\pictavo.INI";
    ::WritePrivateProfileStringA("General", "Verbose", "0", ini.c_str());
    ::WritePrivateProfileStringA("General", "StartWithWindows", "0", ini.c_str());
    ::WritePrivateProfileStringA("Slideshow", "ChangeOnStartup", "0", ini.c_str());
    Started running(dir);
    ASSERT_TRUE(running.Running());
    const std::string list = dir + "\\Images\\GDB.CDS";
    // Running in the tray: its window exists and its list is on disk.
    EXPECT_TRUE(WaitFor([&] { return running.HasMainWindow(); }));
    EXPECT_TRUE(WaitFor([&] { return Exists(list); }));
    const std::string before = ReadFile(list);

    EXPECT_EQ(RunAndWait("\"" + BuiltFolder() + "\\pictavo-setup.exe\" /S /D=" + dir), 0u);
    EXPECT_TRUE(running.Ended());
    EXPECT_EQ(ReadFile(list), before);
    // The user's choice stands: still not started with Windows.
    EXPECT_EQ(Setting(ini, "General", "StartWithWindows"), "0");
    EXPECT_FALSE(Exists(StartupShortcut()));
    EXPECT_TRUE(Exists(dir + "\\pictavo.exe"));

    installed.Uninstall("/REMOVEDATA");
    ExpectNothingOfTheProgram(dir);
}

// A Pictavo whose process outlives its window, as one still writing its files
// on the way out: setup and the uninstaller wait for the process itself, or
// its file is still in use when they replace or remove it.
TEST(Installer, AProgramStillEndingIsWaitedForBeforeItsFileIsReplacedOrRemoved) {
    Installed installed("/NOSTARTUP");
    const std::string& dir = installed.dir;
    const std::string program = dir + "\\pictavo.exe";
    const std::string standIn =
        pictavo::testing::CommandRecorder::BuildTreeOfThisProgram() + "\\tools\\slow_to_end.exe";
    const auto startSlowToEnd = [&] {
        EXPECT_TRUE(::CopyFileA(standIn.c_str(), program.c_str(), FALSE));
        auto started = std::make_unique<Started>(dir);
        EXPECT_TRUE(WaitFor([&] { return started->HasMainWindow(); }));
        return started;
    };

    auto running = startSlowToEnd();
    EXPECT_EQ(RunAndWait("\"" + BuiltFolder() + "\\pictavo-setup.exe\" /S /NOSTARTUP /D=" + dir),
              0u);
    EXPECT_TRUE(running->Ended());
    // The real program replaced the stand-in.
    EXPECT_TRUE(ReadFile(program) == ReadFile(BuiltProgram()));

    running = startSlowToEnd();
    installed.Uninstall("/REMOVEDATA");
    EXPECT_TRUE(running->Ended());
    ExpectNothingOfTheProgram(dir);
}

// Installed without the start-up box: the program's first start is a first
// run that keeps that choice, and it lives in the tray until the uninstaller
// asks it to end.
TEST(Installer, TheInstalledProgramRunsFromTheTrayUntilUninstalled) {
    char wallpaper[MAX_PATH] = {};
    ::SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, wallpaper, 0);
    Installed installed("/NOSTARTUP");
    const std::string& dir = installed.dir;
    EXPECT_FALSE(Exists(StartupShortcut()));
    EXPECT_EQ(Setting(dir + "\\pictavo.INI", "General", "StartWithWindows"), "0");

    Started running(dir);
    ASSERT_TRUE(running.Running());
    auto box = WaitForMessageBox(running.ProcessId());
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text.substr(0, 36), "Slideshow will change your wallpaper");
    box->Press(IDOK);
    // Then the first slide finds the new list empty, as on every first run.
    auto slide = WaitForMessageBox(running.ProcessId());
    ASSERT_TRUE(slide.has_value());
    EXPECT_EQ(slide->text, "No images selected for slideshow!");
    slide->Press(IDOK);
    HWND icon = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        icon = TrayIconWindow(running.ProcessId());
        return icon && ShellHoldsIcon(icon);
    }));

    installed.Uninstall("");
    EXPECT_TRUE(running.Ended());
    ExpectNothingOfTheProgram(dir);
    // Asked to end, it saved its settings on the way out: its first run kept
    // the choice made in setup, so it never wanted the start-up shortcut.
    EXPECT_NE(Setting(dir + "\\pictavo.INI", "General", "Verbose"), "<missing>");
    EXPECT_EQ(Setting(dir + "\\pictavo.INI", "General", "StartWithWindows"), "0");
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, wallpaper, SPIF_UPDATEINIFILE);
}

// A setup or uninstall wizard of NSIS, driven through its buttons. Its header
// names the page on show.
class Wizard {
public:
    // Starts the program and waits for its window, whose caption begins so.
    Wizard(const std::string& commandLine, const std::string& caption)
        : process_(commandLine),
          window_(WaitForWindow(process_.ProcessId(), "", caption, kDeadline, true)) {}

    HWND Window() const { return window_; }
    DWORD ProcessId() const { return process_.ProcessId(); }
    std::string Header() const {
        char text[256] = {};
        ::GetDlgItemTextA(window_, 1037, text, sizeof(text));
        return text;
    }
    // The page inside the wizard's frame.
    HWND Page() const { return ::FindWindowExA(window_, nullptr, "#32770", nullptr); }
    // Waits for the page of that header and saves a picture of it.
    bool ShowsPage(const std::string& header, const std::string& screenshot) const {
        if (!WaitFor([&] { return Header() == header && ::IsWindowEnabled(NextButton()); })) {
            ADD_FAILURE() << "page \"" << Header() << "\", expected \"" << header << "\"";
            return false;
        }
        ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        return Exists(SaveScreenshot(screenshot));
    }
    // Next, Install, Uninstall or Close: the wizard's default button.
    void Next() const { ::PostMessageA(NextButton(), BM_CLICK, 0, 0); }
    void Cancel() const { ::PostMessageA(::GetDlgItem(window_, IDCANCEL), BM_CLICK, 0, 0); }
    bool Ended() const { return process_.Ended(30s); }

private:
    HWND NextButton() const { return ::GetDlgItem(window_, IDOK); }
    ChildProcess process_;
    HWND window_ = nullptr;
};

// Every page of setup and of the uninstaller, clicked through as a user would,
// with a picture of each kept with the build for a person to look at.
TEST(Installer, EveryPageOfSetupAndOfTheUninstaller) {
    TempFolder folder;
    const std::string dir = folder / "Pictavo";
    {
        Wizard setup("\"" + BuiltFolder() + "\\pictavo-setup.exe\" /NOSTARTUP", "Pictavo Setup");
        ASSERT_NE(setup.Window(), nullptr);
        ASSERT_TRUE(setup.ShowsPage("License Agreement", "installer-licence"));
        setup.Next();
        ASSERT_TRUE(setup.ShowsPage("Choose Components", "installer-components"));
        setup.Next();
        ASSERT_TRUE(WaitFor([&] { return setup.Header() == "Choose Install Location"; }));
        ::SetDlgItemTextA(setup.Page(), 1019, dir.c_str());
        ASSERT_TRUE(setup.ShowsPage("Choose Install Location", "installer-folder"));
        setup.Next();
        ASSERT_TRUE(setup.ShowsPage("Installation Complete", "installer-done"));
        setup.Next();
        EXPECT_TRUE(setup.Ended());
    }
    EXPECT_TRUE(Exists(dir + "\\pictavo.exe"));
    EXPECT_EQ(Lower(UninstallValue("InstallLocation")), Lower(dir));
    WriteFile(dir + "\\pictavo.INI", "[General]\r\nVerbose=0\r\n");
    {
        Wizard uninstall("\"" + dir + "\\uninstall.exe\" _?=" + dir, "Pictavo Uninstall");
        ASSERT_NE(uninstall.Window(), nullptr);
        ASSERT_TRUE(uninstall.ShowsPage("Uninstall Pictavo", "uninstaller-confirm"));
        uninstall.Next();
        ASSERT_TRUE(uninstall.ShowsPage("Choose Components", "uninstaller-components"));
        uninstall.Next();
        ASSERT_TRUE(uninstall.ShowsPage("Uninstallation Complete", "uninstaller-done"));
        uninstall.Next();
        EXPECT_TRUE(uninstall.Ended());
    }
    ::DeleteFileA((dir + "\\uninstall.exe").c_str());
    ExpectNothingOfTheProgram(dir);
    EXPECT_TRUE(Exists(dir + "\\pictavo.INI"));  // the box was left unticked
}

// Cancelling setup, and yes, quitting it, installs nothing.
TEST(Installer, CancellingSetupInstallsNothing) {
    Wizard setup("\"" + BuiltFolder() + "\\pictavo-setup.exe\"", "Pictavo Setup");
    ASSERT_NE(setup.Window(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return setup.Header() == "License Agreement"; }));
    setup.Cancel();
    auto box = WaitForMessageBox(setup.ProcessId());
    ASSERT_TRUE(box.has_value());
    box->Press(IDYES);
    EXPECT_TRUE(setup.Ended());
    EXPECT_EQ(UninstallValue("DisplayName"), "<missing>");
    EXPECT_FALSE(Exists(StartupShortcut()));
}
