// The real program ends whatever its settings file or its pending saves do.
#include <gtest/gtest.h>

#include "harness/Harness.h"
#include "shell/StartupShortcut.h"

using namespace e2e;

namespace {

std::string StartupShortcutPath() {
    return pictavo::CommonStartupFolder() + "\\" + pictavo::kStartupShortcutName;
}

// The settings file marked read-only for the test's time.
struct ReadOnly {
    std::string path;
    explicit ReadOnly(std::string p) : path(std::move(p)) {
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    ~ReadOnly() { ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); }
};

}  // namespace

TEST(Shutdown, AReadOnlySettingsFileIsToldOnceAndTheProgramEnds) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    ReadOnly readOnly(program.IniPath());

    program.Shutdown();
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(Lower(box->text), Lower("Unable to write to " + program.IniPath()));
    box->Press(IDOK);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_TRUE(trace.Contains("FormDestroy"));
}

TEST(Shutdown, ASettingChangedDuringTheExitIsSavedWithEveryKeyAndTheShortcutIntact) {
    Program program;
    program.QuietSettings();
    program.SetIni("General", "StartWithWindows", "1");
    program.SetIni("Slideshow", "Random", "0");
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    const std::string shortcut = StartupShortcutPath();
    ASSERT_TRUE(Exists(shortcut));
    struct RemoveShortcut {
        std::string path;
        ~RemoveShortcut() { ::DeleteFileA(path.c_str()); }
    } removeShortcut{shortcut};

    HWND main = program.MainWindow();
    HWND random = FindChildByText(main, "&Random Order");
    ASSERT_NE(random, nullptr);
    // The click waits in the queue behind the shutdown: it is handled while
    // the exit lets messages run, so its save is still pending when the window goes.
    ASSERT_TRUE(::PostMessageA(main, Registered("ShutdownPictavo"), 0, 0));
    ASSERT_TRUE(::PostMessageA(random, BM_CLICK, 0, 0));
    ASSERT_TRUE(program.WaitForExit());

    EXPECT_EQ(program.Ini("Slideshow", "Random"), "1");
    EXPECT_EQ(program.Ini("General", "StartWithWindows"), "1");
    EXPECT_EQ(program.Ini("Confirmation", "ConfirmExit"), "1");
    EXPECT_EQ(program.Ini("Slideshow", "SlideMins"), "5");
    EXPECT_EQ(program.Ini("General", "MaxImageSize"), "1500");
    EXPECT_TRUE(Exists(shortcut));
}
