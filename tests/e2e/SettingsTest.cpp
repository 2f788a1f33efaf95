// The settings file as the real program reads and writes it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "harness/Harness.h"

#include <commctrl.h>

using namespace e2e;

namespace {

std::vector<std::string> KeysOf(const std::string& iniText) {
    std::vector<std::string> keys;
    std::istringstream in(iniText);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '[') continue;
        keys.push_back(line);
    }
    return keys;
}

}  // namespace

TEST(Settings, FreshStartThenOkWritesEveryKeyWithItsDefault) {
    Program program;
    ::DeleteFileA(program.IniPath().c_str());
    program.Start(":");
    // A first run: the slideshow's interval is explained first.
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    box->Press(IDOK);
    // No help file beside this program: said once.
    box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text.rfind("Unable to find the help file ", 0), 0u);
    box->Press(IDOK);
    // Then the start-up slide finds no pictures in the empty list.
    box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "No images selected for slideshow!");
    box->Press(IDOK);
    ASSERT_TRUE(program.WaitUntilIdle(60s));
    HWND main = program.MainWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main); }));
    ASSERT_TRUE(ClickButton(main, "&OK"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));

    const std::string folder = program.Folder();
    const std::vector<std::string> expected = {
        "DataDir=" + folder + "\\Images", "ImportDir=" + folder, "DBFileName=GDB.CDS",
        "PreviewPanelHeight=185", "StartWithWindows=1", "Verbose=1", "LimitImageSize=0",
        "MaxImageSize=1500", "LimitPreviewSize=1", "MaxPreviewSize=250", "ToolbarHints=1",
        "UseDefaultEditor=1", "SelectedEditor=pbrush.exe", "MainTop=0", "MainLeft=0",
        "ConfirmExit=1", "ConfirmDeleteDisk=1", "ConfirmRemoveList=1",
        "AutoChange=0",  // switched off: the empty list had no picture to show
        "SlideHrs=0", "SlideMins=5", "SlideSecs=0", "Random=1", "ChangeOnStartup=1", "ShrinkToFit=1",
        "Polling=1",
        "Poll File Name=Netscape Wallpaper.bmp", "PollInterval=5", "PromptForName=1"};
    std::vector<std::string> keys = KeysOf(ReadFile(program.IniPath()));
    // The data directory is spelled as the program's folder is.
    ASSERT_EQ(keys.size(), expected.size());
    EXPECT_EQ(Lower(keys[0]), Lower(expected[0]));
    for (size_t i = 1; i < expected.size(); ++i) EXPECT_EQ(keys[i], expected[i]);
}

TEST(Settings, StoredTopBeyondTheScreenPutsTheWindowsBottomAtTheScreensBottom) {
    Program program;
    program.QuietSettings();
    program.SetIni("Positions", "MainTop", "5000");
    program.SetIni("Positions", "MainLeft", "-30");
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    RECT r{};
    ::GetWindowRect(program.MainWindow(), &r);
    EXPECT_EQ(r.bottom, ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(r.left, 0);
}

TEST(Settings, OddValuesFallBackToTheirDefaults) {
    Program program;
    program.QuietSettings();
    program.SetIni("Slideshow", "SlideMins", "0x1E");
    program.SetIni("Slideshow", "SlideHrs", "12abc");
    program.SetIni("General", "MaxImageSize", "");
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    ASSERT_TRUE(ClickButton(program.MainWindow(), "&OK"));
    ASSERT_TRUE(WaitFor([&] { return program.Ini("Positions", "MainTop") != "<missing>"; }));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(program.MainWindow()); }));
    EXPECT_EQ(program.Ini("Slideshow", "SlideMins"), "30");
    EXPECT_EQ(program.Ini("Slideshow", "SlideHrs"), "0");
    EXPECT_EQ(program.Ini("General", "MaxImageSize"), "1500");
}

// Pictures of the two settings pages, kept with the build for a person to look at.
TEST(Settings, PagesScreenshots) {
    Program program;
    program.QuietSettings();
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    HWND pages = ::FindWindowExA(main, nullptr, "SysTabControl32", nullptr);
    ASSERT_NE(pages, nullptr);
    const struct {
        int index;
        const char* name;
    } shots[] = {{1, "slideshow-page"}, {2, "options-page"}};
    for (const auto& shot : shots) {
        ::SendMessageA(pages, TCM_SETCURFOCUS, shot.index, 0);
        ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(pages, TCM_GETCURSEL, 0, 0) == shot.index; }));
        ::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        ASSERT_TRUE(program.WaitUntilIdle());
        EXPECT_TRUE(Exists(SaveScreenshot(shot.name)));
    }
}
