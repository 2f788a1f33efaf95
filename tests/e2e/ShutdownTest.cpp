// The real program ends whatever its settings file or its pending saves do.
#include <gtest/gtest.h>

#include "harness/Harness.h"
#include "inventory/TableFile.h"
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

int TimesTracedIgnoringCase(const TraceCollector& trace, const std::string& text) {
    int times = 0;
    for (const std::string& line : trace.Texts()) {
        if (Lower(line) == Lower(text)) ++times;
    }
    return times;
}

bool TracedIgnoringCase(const TraceCollector& trace, const std::string& text) {
    return TimesTracedIgnoringCase(trace, text) > 0;
}

}  // namespace

// Another program asking Pictavo to end (setup replacing its file) has no one
// at the screen to press a button: the failure goes to the trace.
TEST(Shutdown, AReadOnlySettingsFileIsTracedAndTheShutdownMessageEndsTheProgramWithoutABox) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    ReadOnly readOnly(program.IniPath());

    program.Shutdown();
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_TRUE(TracedIgnoringCase(trace, "Unable to write to " + program.IniPath()));
    EXPECT_TRUE(trace.Contains("FormDestroy"));
}

// The session waits for the answer: a box there would hold up the log-off.
TEST(Shutdown, AReadOnlySettingsFileIsTracedAndTheSessionEndsWithoutABox) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    ReadOnly readOnly(program.IniPath());

    DWORD_PTR answer = FALSE;
    ASSERT_TRUE(::SendMessageTimeoutA(program.MainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL,
                                      30000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    EXPECT_FALSE(program.MessageBoxOpen());
    EXPECT_TRUE(WaitFor(
        [&] { return TracedIgnoringCase(trace, "Unable to write to " + program.IniPath()); }));

    ::SendMessageTimeoutA(program.MainWindow(), WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 30000, &answer);
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_FALSE(trace.Contains("Exception: Unable to write to " + program.IniPath()));
    // Once: the window sends it to the trace itself rather than to a box that
    // would only pass it on there.
    EXPECT_EQ(TimesTracedIgnoringCase(trace, "Unable to write to " + program.IniPath()), 1);
}

// A box already open when the shutdown message comes (here the first run's
// notice, shown while start-up is still under way) is ended, not waited on.
TEST(Shutdown, TheShutdownMessageEndsTheProgramWhileABoxIsOpen) {
    TraceCollector trace;
    Program program;
    // A file holding only the start-up choice, as setup leaves it: still a first run.
    program.SetIni("General", "StartWithWindows", "0");
    program.Start();
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text.rfind("Slideshow will change your wallpaper", 0), 0u) << box->text;

    program.Shutdown();
    EXPECT_TRUE(program.WaitForExit());
}

// As seen with a settings file marked read-only before the start: its box is
// still open when the session ends and then the shutdown message comes.
TEST(Shutdown, AReadOnlySettingsFileAtStartIsToldAsItselfAndTheEndStillComes) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    // Loading this interval changes its box, which hands a settings save over.
    program.SetIni("Slideshow", "SlideMins", "10");
    ReadOnly readOnly(program.IniPath());
    program.Start();
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(Lower(box->text), Lower("Unable to write to " + program.IniPath()));

    DWORD_PTR answer = FALSE;
    ASSERT_TRUE(::SendMessageTimeoutA(program.MainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL,
                                      30000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    // The open box was ended, not left waiting for a click.
    EXPECT_TRUE(WaitFor([&] { return !program.MessageBoxOpen(); }));
    program.Shutdown();
    EXPECT_TRUE(program.WaitForExit());
}

// The same with a dialog open: the file dialog of "Other editor:" on the "O&ptions" page.
TEST(Shutdown, TheShutdownMessageEndsTheProgramWhileADialogIsOpen) {
    Program program;
    program.QuietSettings();
    program.SetIni("General", "UseDefaultEditor", "0");
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    HWND select = FindChildByText(main, "Select");
    ASSERT_NE(select, nullptr);
    ASSERT_TRUE(::PostMessageA(select, BM_CLICK, 0, 0));
    ASSERT_TRUE(WaitFor([&] {
        for (HWND hwnd : TopLevelWindows(program.ProcessId())) {
            if (ClassOf(hwnd) == "#32770" && ::IsWindowVisible(hwnd)) return true;
        }
        return false;
    }));

    program.Shutdown();
    EXPECT_TRUE(program.WaitForExit());
}

// A save that failed is written by the next save point, here the shutdown
// message, once the failure is gone, although nothing changed after it.
TEST(Shutdown, AnEditWhoseSaveFailedIsWrittenAtTheEnd) {
    Program program;
    program.QuietSettings();
    program.SetIni("Slideshow", "ChangeOnStartup", "1");
    program.SetIni("AutoDetect", "Polling", "0");
    // A listed picture whose file is gone: the start-up slide removes it from the list.
    pictavo::InventoryTable table;
    pictavo::InventoryRecord record;
    record.FileName = "gone.bmp";
    record.Location = program.Folder();
    table.Append(record);
    ::CreateDirectoryA(program.DataDir().c_str(), nullptr);
    WriteFile(program.TablePath(), pictavo::SerializeTable(table));
    ReadOnly readOnly(program.TablePath());

    program.Start();
    // The slide finds nothing left to show and says so; the failed save says
    // where and why, once.
    const std::string failure = Lower("Unable to save db " + program.TablePath() + " (");
    int failures = 0;
    for (int i = 0; i < 2; ++i) {
        auto box = program.WaitForMessageBox();
        ASSERT_TRUE(box.has_value());
        if (Lower(box->text).rfind(failure, 0) == 0) {
            ++failures;
        } else {
            EXPECT_EQ(box->text, "No images selected for slideshow!");
        }
        ASSERT_TRUE(box->Press(IDOK));
    }
    EXPECT_EQ(failures, 1);
    ASSERT_EQ(pictavo::ParseTable(ReadFile(program.TablePath())).Records.size(), 1u);

    ::SetFileAttributesA(program.TablePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit());
    const auto saved = pictavo::ParseTable(ReadFile(program.TablePath()));
    ASSERT_TRUE(saved.Ok());
    EXPECT_TRUE(saved.Records.empty());
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
