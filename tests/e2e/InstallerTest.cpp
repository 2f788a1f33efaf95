// pictavo-setup.exe under Wine: a silent install into a temporary folder, its
// files, shortcuts and Add/Remove Programs entry, then silent uninstalls that
// keep the user's pictures and settings unless asked to remove them.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "harness/Desktop.h"
#include "harness/Harness.h"

using namespace e2e;

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pictavo";

std::string BuiltFolder() {
    const std::string program = BuiltProgram();
    return program.substr(0, program.find_last_of('\\'));
}

// Runs a program with its arguments and waits for it; returns its exit code.
DWORD RunAndWait(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return ~0u;
    }
    ::WaitForSingleObject(info.hProcess, 120000);
    DWORD code = ~0u;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return code;
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

struct Installed {
    TempFolder folder;
    std::string dir = folder / "Pictavo";
    Installed() {
        EXPECT_EQ(RunAndWait("\"" + BuiltFolder() + "\\pictavo-setup.exe\" /S /D=" + dir), 0u);
    }
    // Runs the uninstaller in place (it would otherwise copy itself to the
    // temporary folder and return at once); it cannot delete itself then.
    void Uninstall(const std::string& options) {
        EXPECT_EQ(RunAndWait("\"" + dir + "\\uninstall.exe\" /S " + options + " _?=" + dir), 0u);
        ::DeleteFileA((dir + "\\uninstall.exe").c_str());
        ::RemoveDirectoryA(dir.c_str());
    }
};

void ExpectNothingOfTheProgram(const std::string& dir) {
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
    for (const char* shortcut : {"Pictavo.lnk", "Pictavo Help.lnk", "Uninstall Pictavo.lnk"}) {
        EXPECT_TRUE(Exists(CommonPrograms() + "\\Pictavo\\" + shortcut)) << shortcut;
    }
    EXPECT_FALSE(Exists(Program::StartupShortcut()));  // not asked for

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
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION running{};
    std::string line = "\"" + dir + "\\pictavo.exe\"";
    ASSERT_TRUE(::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 dir.c_str(), &startup, &running));
    const std::string list = dir + "\\Images\\GDB.CDS";
    // Running in the tray: its window exists and its list is on disk.
    EXPECT_TRUE(WaitFor([] { return ::FindWindowA("TFrmMain", nullptr) != nullptr; }));
    EXPECT_TRUE(WaitFor([&] { return Exists(list); }));
    const std::string before = ReadFile(list);

    EXPECT_EQ(RunAndWait("\"" + BuiltFolder() + "\\pictavo-setup.exe\" /S /D=" + dir), 0u);
    EXPECT_EQ(::WaitForSingleObject(running.hProcess, 0), WAIT_OBJECT_0) << "still running";
    ::TerminateProcess(running.hProcess, 1);
    ::CloseHandle(running.hThread);
    ::CloseHandle(running.hProcess);
    EXPECT_EQ(ReadFile(list), before);
    EXPECT_TRUE(Exists(ini));
    EXPECT_TRUE(Exists(dir + "\\pictavo.exe"));

    installed.Uninstall("/REMOVEDATA");
    ExpectNothingOfTheProgram(dir);
}

// Pictures of the installer's pages, kept with the build for a person to look at.
TEST(Installer, PagesScreenshots) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION setup{};
    std::string line = "\"" + BuiltFolder() + "\\pictavo-setup.exe\"";
    ASSERT_TRUE(::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &setup));
    HWND window = nullptr;
    const bool shown = WaitFor([&] {
        for (HWND top : TopLevelWindows(setup.dwProcessId)) {
            if (::IsWindowVisible(top) && Caption(top).rfind("Pictavo Setup", 0) == 0) window = top;
        }
        return window != nullptr;
    });
    if (!shown) {
        for (HWND top : TopLevelWindows(setup.dwProcessId)) {
            ADD_FAILURE() << "window \"" << Caption(top) << "\" " << ClassOf(top);
        }
        ::TerminateProcess(setup.hProcess, 1);
    }
    ASSERT_TRUE(shown);
    // The header's title names the page on show.
    auto header = [&] {
        char text[256] = {};
        ::GetDlgItemTextA(window, 1037, text, sizeof(text));
        return std::string(text);
    };
    const char* pages[] = {"installer-licence", "installer-components", "installer-folder"};
    for (const char* page : pages) {
        std::string title;
        ASSERT_TRUE(WaitFor([&] { return !(title = header()).empty(); }));
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_TRUE(Exists(SaveScreenshot(page))) << title;
        if (page == pages[std::size(pages) - 1]) break;
        ::SendMessageA(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return header() != title; }));
    }
    // Cancel, and yes, quit: nothing was installed.
    ::PostMessageA(::GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    auto box = WaitForMessageBox(setup.dwProcessId);
    ASSERT_TRUE(box.has_value());
    box->Press(IDYES);
    EXPECT_EQ(::WaitForSingleObject(setup.hProcess, 30000), WAIT_OBJECT_0);
    ::CloseHandle(setup.hThread);
    ::CloseHandle(setup.hProcess);
    EXPECT_EQ(UninstallValue("DisplayName"), "<missing>");
}
