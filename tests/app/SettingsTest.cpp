#include "app/Settings.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "support/TempDir.h"
#include "support/VirtualTimers.h"

namespace pictavo {
namespace {

// Records what the settings ask of their window.
struct FakeHost : ISettingsHost {
    TSettingsPages* pages = nullptr;
    std::vector<std::string> calls;
    int saves = 0;
    RECT bounds{10, 20, 420, 500};
    // Control states seen when the intervals were applied during a load.
    int minsAtApply = -1, hrsAtApply = -1, pollAtApply = -1;
    bool randomAtApply = false, promptAtApply = false;

    void SetSettingsInProgress(bool on) override {
        if (on) ++saves;
    }
    RECT MainWindowBounds() const override { return bounds; }
    void MoveMainWindow(int left, int top) override {
        const int w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
        bounds = RECT{left, top, left + w, top + h};
    }
    void ApplySlideInterval() override {
        calls.push_back("ApplySlideInterval");
        minsAtApply = SpinPosition(pages->updMins);
        hrsAtApply = SpinPosition(pages->updHrs);
        randomAtApply = Checked(pages->chkRandom);
    }
    void ApplyPollSettings() override {
        calls.push_back("ApplyPollSettings");
        pollAtApply = SpinPosition(pages->updPollInterval);
        promptAtApply = Checked(pages->chkPromptNameForNewWP);
    }
    void SyncStartupShortcut() override { calls.push_back("SyncStartupShortcut"); }
    void RecomputeTooBig() override { calls.push_back("RecomputeTooBig"); }
    void SetToolbarHints(bool on) override { calls.push_back(on ? "hints on" : "hints off"); }
    void chkAutoChangeClick() override { calls.push_back("chkAutoChangeClick"); }
    void GenericSlideTimerChange(HWND) override {}
    void chkPollForChangeClick() override {}
    void edtPollFileNameChange() override {}
    void btnSelectEditorClick() override {}
};

// A window standing in for the main window: it hands control notices to the settings.
class Form : public Window {
public:
    TSettings* settings = nullptr;
    Form() { Create("SettingsTestForm", 0, WS_OVERLAPPEDWINDOW, "test", 0, 0, 420, 480, nullptr); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (settings && message == WM_COMMAND &&
            settings->OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) {
            return 0;
        }
        if (settings && message == WM_NOTIFY) settings->OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        return Window::HandleMessage(message, wParam, lParam);
    }
};

class SettingsTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    testing::VirtualTimers clock;
    TInputTimeout timeout{clock, 2250};
    FakeHost host;
    Form form;
    RECT area{0, 0, 390, 370};
    TPanel preview{form.Handle(), area, "preview"}, slideshow{form.Handle(), area, "slideshow"},
        options{form.Handle(), area, "options"};
    TSettingsPages pages{preview.Handle(), slideshow.Handle(), options.Handle(), form.Handle()};
    std::string ini = dir / "pictavo.INI";
    TSettings settings{ini, dir.Path() + "\\", pages, timeout, host};

    void SetUp() override {
        host.pages = &pages;
        form.settings = &settings;
    }
    void TearDown() override { timeout.Flush(); }

    void Write(const char* section, const char* key, const char* value) {
        ::WritePrivateProfileStringA(section, key, value, ini.c_str());
    }
    std::vector<std::string> IniLines() {
        std::istringstream in(ReadWholeFile(ini));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) lines.push_back(line);
        }
        return lines;
    }
    void Click(HWND box) {
        ::SendMessageA(box, BM_CLICK, 0, 0);
    }
};

TEST_F(SettingsTest, FirstSaveOfAFreshInstallWritesEveryKeyInOrder) {
    settings.SaveSettings();
    const std::string folder = dir.Path();
    const std::vector<std::string> expected = {
        "[Directories]", "DataDir=" + folder + "\\Images", "ImportDir=" + folder,
        "DBFileName=GDB.CDS",
        "[Preview]", "PreviewPanelHeight=185",
        "[General]", "StartWithWindows=1", "Verbose=1", "LimitImageSize=0", "MaxImageSize=1500",
        "LimitPreviewSize=1", "MaxPreviewSize=250", "ToolbarHints=1", "UseDefaultEditor=1",
        "SelectedEditor=pbrush.exe",
        "[Positions]", "MainTop=20", "MainLeft=10",
        "[Confirmation]", "ConfirmExit=1", "ConfirmDeleteDisk=1", "ConfirmRemoveList=1",
        "[Slideshow]", "AutoChange=1", "SlideHrs=0", "SlideMins=5", "SlideSecs=0", "Random=1",
        "ChangeOnStartup=1",
        "[AutoDetect]", "Polling=1", "Poll File Name=Netscape Wallpaper.bmp", "PollInterval=5",
        "PromptForName=1"};
    EXPECT_EQ(IniLines(), expected);
    // No stored key yet counts as a change: the start-up shortcut is brought in line.
    EXPECT_EQ(host.calls, std::vector<std::string>{"SyncStartupShortcut"});
    EXPECT_EQ(host.saves, 1);

    host.calls.clear();
    settings.SaveSettings();
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(SettingsTest, LoadReadsTheRulesOfNumbersAndAppliesIntervalsInPlace) {
    Write("Directories", "DataDir", "C:\\Some\\DATA");
    Write("Slideshow", "SlideHrs", "12abc");
    Write("Slideshow", "SlideMins", "0x1E");
    Write("Slideshow", "Random", "0");
    Write("AutoDetect", "PollInterval", "$14");
    Write("AutoDetect", "PromptForName", "0");
    Write("General", "UseDefaultEditor", "0");
    Write("General", "SelectedEditor", std::string(1500, 'e').c_str());
    Write("Preview", "PreviewPanelHeight", "");

    settings.LoadSaveSettings(TSettings::Direction::Load);

    EXPECT_EQ(settings.DataDirectory(), "c:\\some\\data");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"ApplySlideInterval", "ApplyPollSettings"}));
    // The slide interval is applied after the seconds and before "Random" is read;
    // the poll settings after the interval and before "PromptForName".
    EXPECT_EQ(host.hrsAtApply, 0);
    EXPECT_EQ(host.minsAtApply, 30);
    EXPECT_TRUE(host.randomAtApply);
    EXPECT_EQ(host.pollAtApply, 20);
    EXPECT_TRUE(host.promptAtApply);
    EXPECT_FALSE(Checked(pages.chkRandom));
    EXPECT_FALSE(Checked(pages.chkPromptNameForNewWP));
    EXPECT_EQ(pages.PreviewPanelHeight(), 185);
    // The editor choice follows, and the long name is cut to 1023 characters.
    EXPECT_TRUE(Checked(pages.rdoSelectedEditor));
    EXPECT_TRUE(::IsWindowEnabled(pages.edtSelectedEditor));
    EXPECT_EQ(ControlText(pages.edtSelectedEditor).size(), 1023u);
    // Handlers raised by the load schedule nothing.
    EXPECT_FALSE(timeout.Pending());
    EXPECT_EQ(host.saves, 0);
}

TEST_F(SettingsTest, WindowPositionIsClampedOntoTheScreen) {
    const int screenH = ::GetSystemMetrics(SM_CYSCREEN);
    Write("Positions", "MainTop", std::to_string(screenH + 100).c_str());
    Write("Positions", "MainLeft", "-40");
    settings.LoadSaveSettings(TSettings::Direction::Load);
    EXPECT_EQ(host.bounds.bottom, screenH);
    EXPECT_EQ(host.bounds.left, 0);
}

TEST(ClampWindowPosition, Rules) {
    struct Case {
        int left, top, expectLeft, expectTop;
    } cases[] = {
        {-1, -1, 0, 0},         // a first start: top left corner
        {100, 100, 100, 100},   // on screen: stays
        {900, 700, 900, 700},   // partly off screen: stays
        {1100, 900, 624, 288},  // beyond the screen: back inside, flush with its edges
        {-500, 2000, 0, 288},
    };
    for (const Case& c : cases) {
        POINT p = ClampWindowPosition(c.left, c.top, 400, 480, 1024, 768);
        EXPECT_EQ(p.x, c.expectLeft) << c.left << "," << c.top;
        EXPECT_EQ(p.y, c.expectTop) << c.left << "," << c.top;
    }
}

TEST_F(SettingsTest, ChangesEndInOneSaveAfterTheQuietTime) {
    for (int i = 0; i < 10; ++i) {
        Click(pages.chkRandom);
        clock.Advance(100);
    }
    EXPECT_EQ(host.saves, 0);
    clock.Advance(2250 - 100);
    EXPECT_EQ(host.saves, 1);
    EXPECT_EQ(TSettingsFile(ini).ReadBool("Slideshow", "Random", true), true);  // ten clicks

    // A change on another control first runs the save still pending.
    Click(pages.chkConfirmExit);
    Click(pages.chkShowSplash);
    EXPECT_EQ(host.saves, 2);
    clock.Advance(2250);
    EXPECT_EQ(host.saves, 3);
    EXPECT_EQ(TSettingsFile(ini).ReadBool("General", "Verbose", true), false);
}

TEST_F(SettingsTest, StartWithWindowsUpdatesTheShortcutLaterAndTheKeyAtTheNextSave) {
    Click(pages.chkStartWithWindows);
    EXPECT_TRUE(host.calls.empty());
    clock.Advance(2250);
    EXPECT_EQ(host.calls, std::vector<std::string>{"SyncStartupShortcut"});
    EXPECT_EQ(host.saves, 0);
    EXPECT_EQ(TSettingsFile(ini).ReadString("General", "StartWithWindows", "none"), "none");
}

TEST_F(SettingsTest, OtherHandlersDoTheirOwnWork) {
    settings.SaveSettings();
    host.calls.clear();
    Click(pages.chkLimitImageSize);
    Click(pages.chkToolbarHints);
    Click(pages.rdoSelectedEditor);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"RecomputeTooBig", "hints off"}));
    EXPECT_TRUE(::IsWindowEnabled(pages.edtSelectedEditor));
    EXPECT_TRUE(::IsWindowEnabled(pages.btnSelectEditor));
    Click(pages.rdoDefaultEditor);
    EXPECT_FALSE(::IsWindowEnabled(pages.edtSelectedEditor));
    // The slideshow switch belongs to the slideshow.
    Click(pages.chkAutoChange);
    EXPECT_EQ(host.calls.back(), "chkAutoChangeClick");
}

TEST_F(SettingsTest, AFailedWriteNamesTheFile) {
    settings.SaveSettings();
    ::SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY);
    try {
        settings.SaveSettings();
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + ini);
    }
    ::SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace pictavo
