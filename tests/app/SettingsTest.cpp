#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "platform/Controls.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "shell/NextWallpaperHotKey.h"
#include "support/AddFixture.h"
#include "support/TempDir.h"
#include "support/VirtualTimers.h"

namespace pictavo {
namespace {

// Records what the settings and their pages ask of the slideshow, detection,
// the start-up shortcut and the main window.
struct FakeHost : IUserInterface, ISlideshowHandlers, IPollControl, IStartupShortcut {
    TSlideshowPage* slideshow = nullptr;
    TOptionsPage* options = nullptr;
    HWND window = nullptr;
    std::vector<std::string> calls;
    // Control states seen when the intervals were applied during a load.
    int minsAtApply = -1, hrsAtApply = -1, pollAtApply = -1;
    bool randomAtApply = false, promptAtApply = false;

    HWND MainWindow() const override { return window; }
    void Trace(const std::string&) override {}
    void ShowError(const std::string& message) override { calls.push_back("error " + message); }
    void ShowHint(const std::string&) override {}
    void ProcessMessages() override {}

    void ApplySlideInterval() override {
        calls.push_back("ApplySlideInterval");
        minsAtApply = SpinPosition(slideshow->updMins);
        hrsAtApply = SpinPosition(slideshow->updHrs);
        randomAtApply = Checked(slideshow->chkRandom);
    }
    void chkAutoChangeClick() override { calls.push_back("chkAutoChangeClick"); }
    void GenericSlideTimerChange(const void*) override {}
    void gbxIntervalExit() override { calls.push_back("gbxIntervalExit"); }

    void ApplyPollSettings() override {
        calls.push_back("ApplyPollSettings");
        pollAtApply = SpinPosition(options->updPollInterval);
        promptAtApply = Checked(options->chkPromptNameForNewWP);
    }
    void chkPollForChangeClick() override { calls.push_back("chkPollForChangeClick"); }
    void edtPollFileNameChange() override { calls.push_back("edtPollFileNameChange"); }

    void SyncStartupShortcut(bool) override { calls.push_back("SyncStartupShortcut"); }
};

// The main window the pages sit on; the settings file places it.
class Form : public Window {
public:
    Form() {
        Create("SettingsTestForm", 0, WS_OVERLAPPEDWINDOW, "test", 10, 20, 410, 480, nullptr);
    }
};

class SettingsTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    testing::VirtualTimers clock;
    TInputTimeout timeout{clock, 2250};
    FakeHost host;
    ProgramFlags flags;
    Form form;
    RECT area{0, 0, 390, 370};
    TDesignOptions design{form.Handle()};
    // The "&Preview" page's side of the height the settings file keeps.
    struct PreviewPanel : IPreviewPanelHeight {
        int height = 0;
        int PreviewPanelHeight() const override { return height; }
        void SetPreviewPanelHeight(int h) override { height = h; }
    } preview;
    TSlideshowPage slideshow{form.Handle(), area, design};
    TOptionsPage options{form.Handle(), area};
    std::string ini = dir / "pictavo.INI";
    TSettings settings{ini, dir.Path() + "\\",
                       TSettings::Controls{slideshow, options, design},
                       TSettings::Services{timeout, host, flags, host}};

    void SetUp() override {
        host.slideshow = &slideshow;
        host.options = &options;
        host.window = form.Handle();
        settings.Attach(host, host);
        slideshow.Attach({settings, host, host});
        options.Attach({settings, host, nullptr});
        settings.AttachPreviewPanel(preview);
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
    bool Saved() const { return FileExists(ini); }
    RECT Bounds() const {
        RECT r{};
        ::GetWindowRect(form.Handle(), &r);
        return r;
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
        "SelectedEditor=pbrush.exe", "NextWallpaperHotKey=",
        "[Positions]", "MainTop=20", "MainLeft=10",
        "[Confirmation]", "ConfirmExit=1", "ConfirmDeleteDisk=1", "ConfirmRemoveList=1",
        "[Slideshow]", "AutoChange=1", "SlideHrs=0", "SlideMins=5", "SlideSecs=0", "Random=1",
        "ChangeOnStartup=1", "PauseForFullScreen=1", "ShrinkToFit=1",
        "[AutoDetect]", "Polling=1", "Poll File Name=Netscape Wallpaper.bmp", "PollInterval=5",
        "PromptForName=1"};
    EXPECT_EQ(IniLines(), expected);
    // No stored key yet counts as a change: the start-up shortcut is brought in line.
    EXPECT_EQ(host.calls, std::vector<std::string>{"SyncStartupShortcut"});
    EXPECT_FALSE(flags.settingsInProgress);

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

    const std::string stored = ReadWholeFile(ini);
    settings.LoadSaveSettings(TSettings::Direction::Load);

    EXPECT_EQ(settings.DataDirectory(), "c:\\some\\data");
    // The poll file name's box tells detection of its new text as any change would.
    EXPECT_EQ(host.calls, (std::vector<std::string>{"ApplySlideInterval", "edtPollFileNameChange",
                                                    "ApplyPollSettings"}));
    // The slide interval is applied after the seconds and before "Random" is read;
    // the poll settings after the interval and before "PromptForName".
    EXPECT_EQ(host.hrsAtApply, 0);
    EXPECT_EQ(host.minsAtApply, 30);
    EXPECT_TRUE(host.randomAtApply);
    EXPECT_EQ(host.pollAtApply, 20);
    EXPECT_TRUE(host.promptAtApply);
    EXPECT_FALSE(Checked(slideshow.chkRandom));
    EXPECT_FALSE(Checked(options.chkPromptNameForNewWP));
    EXPECT_EQ(settings.PreviewPanelHeight(), 185);
    // The editor choice follows, and the long name is cut to 1023 characters.
    EXPECT_TRUE(Checked(options.rdoSelectedEditor));
    EXPECT_TRUE(::IsWindowEnabled(options.edtSelectedEditor));
    EXPECT_EQ(ControlText(options.edtSelectedEditor).size(), 1023u);
    // Handlers raised by the load schedule nothing.
    EXPECT_FALSE(timeout.Pending());
    EXPECT_EQ(ReadWholeFile(ini), stored);
}

TEST_F(SettingsTest, WindowPositionIsClampedOntoTheScreen) {
    const int screenH = ::GetSystemMetrics(SM_CYSCREEN);
    Write("Positions", "MainTop", std::to_string(screenH + 100).c_str());
    Write("Positions", "MainLeft", "-40");
    settings.LoadSaveSettings(TSettings::Direction::Load);
    EXPECT_EQ(Bounds().bottom, screenH);
    EXPECT_EQ(Bounds().left, 0);
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
        Click(slideshow.chkRandom);
        clock.Advance(100);
    }
    EXPECT_FALSE(Saved());
    clock.Advance(2250 - 100 - 1);
    EXPECT_FALSE(Saved());
    clock.Advance(1);
    ASSERT_TRUE(Saved());
    EXPECT_EQ(TSettingsFile(ini).ReadBool("Slideshow", "Random", false), true);  // ten clicks

    // A change on another page first runs the save still pending.
    Click(options.chkConfirmExit);
    EXPECT_EQ(TSettingsFile(ini).ReadBool("Confirmation", "ConfirmExit", false), true);
    Click(slideshow.chkChangeOnStartup);
    EXPECT_EQ(TSettingsFile(ini).ReadBool("Confirmation", "ConfirmExit", true), false);
    clock.Advance(2250);
    EXPECT_EQ(TSettingsFile(ini).ReadBool("Slideshow", "ChangeOnStartup", true), false);
}

TEST_F(SettingsTest, ShrinkingIsOnUnlessTheFileSaysOffAndItsClickIsSaved) {
    // A file from before the box: on.
    Write("Slideshow", "Random", "0");
    settings.LoadSaveSettings(TSettings::Direction::Load);
    EXPECT_TRUE(Checked(slideshow.chkShrinkToFit));
    EXPECT_TRUE(slideshow.ShrinkToFit());

    Write("Slideshow", "ShrinkToFit", "0");
    settings.LoadSaveSettings(TSettings::Direction::Load);
    EXPECT_FALSE(slideshow.ShrinkToFit());

    Click(slideshow.chkShrinkToFit);
    EXPECT_TRUE(timeout.Pending());
    clock.Advance(2250);
    EXPECT_TRUE(TSettingsFile(ini).ReadBool("Slideshow", "ShrinkToFit", false));
}

TEST_F(SettingsTest, TheRenditionsSourceIsKeptInTheFileAtOnce) {
    EXPECT_EQ(settings.RenditionSource(), "");
    settings.SetRenditionSource("C:\\Pics\\Beach.jpg");
    EXPECT_EQ(TSettingsFile(ini).ReadString("Slideshow", "WallpaperSource", ""),
              "C:\\Pics\\Beach.jpg");
    EXPECT_EQ(settings.RenditionSource(), "C:\\Pics\\Beach.jpg");
}

TEST_F(SettingsTest, StartWithWindowsUpdatesTheShortcutLaterAndTheKeyAtTheNextSave) {
    Click(options.chkStartWithWindows);
    EXPECT_TRUE(host.calls.empty());
    clock.Advance(2250);
    EXPECT_EQ(host.calls, std::vector<std::string>{"SyncStartupShortcut"});
    EXPECT_FALSE(Saved());
}

TEST_F(SettingsTest, OtherHandlersDoTheirOwnWork) {
    settings.SaveSettings();
    host.calls.clear();
    Click(slideshow.chkLimitImageSize);
    EXPECT_TRUE(timeout.Pending());
    timeout.Flush();
    Click(options.chkToolbarHints);  // the list's toolbar reads it at each hint
    EXPECT_TRUE(timeout.Pending());
    Click(options.rdoSelectedEditor);
    EXPECT_TRUE(::IsWindowEnabled(options.edtSelectedEditor));
    EXPECT_TRUE(::IsWindowEnabled(options.btnSelectEditor));
    Click(options.rdoDefaultEditor);
    EXPECT_FALSE(::IsWindowEnabled(options.edtSelectedEditor));
    // The switches of the slideshow and of detection belong to them.
    Click(slideshow.chkAutoChange);
    Click(options.chkPollForChange);
    SetControlText(options.edtPollFileName, "Other.bmp");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"chkAutoChangeClick", "chkPollForChangeClick",
                                                    "edtPollFileNameChange"}));
}

// The focus leaving the group " Slideshow " applies the interval and the poll
// settings; moving inside the group does not.
TEST_F(SettingsTest, LeavingTheIntervalGroupAppliesTheIntervals) {
    auto settle = [] {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    };
    ::SetFocus(slideshow.edtHrs);
    ::SetFocus(slideshow.edtMins);
    settle();
    EXPECT_TRUE(slideshow.IntervalEditing());
    EXPECT_TRUE(host.calls.empty());

    ::SetFocus(options.edtPollInterval);
    EXPECT_FALSE(slideshow.IntervalEditing());
    settle();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"gbxIntervalExit", "ApplyPollSettings"}));
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

// Files from before the pause was a setting read it as on.
TEST_F(SettingsTest, PauseWhileFullScreenIsOnUnlessTheFileSaysOff) {
    for (const char* stored : {static_cast<const char*>(nullptr), "1", "0"}) {
        SCOPED_TRACE(stored ? stored : "(no key)");
        Write("Slideshow", "PauseForFullScreen", stored);
        ::SendMessageA(slideshow.chkPauseForFullScreen, BM_SETCHECK, BST_CHECKED, 0);
        settings.LoadSaveSettings(TSettings::Direction::Load);
        EXPECT_EQ(slideshow.PauseForFullScreen(), !stored || std::string(stored) == "1");
    }
    Click(slideshow.chkPauseForFullScreen);
    clock.Advance(2250);
    EXPECT_EQ(TSettingsFile(ini).ReadString("Slideshow", "PauseForFullScreen", ""), "1");
}

// The hot key as the control, the file and the system hold it.
class HotKeySettingsTest : public SettingsTest {
protected:
    struct Slides : ISlideControl {
        void RestartSlideCountdown() override {}
        void ShowNextSlide() override {}
        void tmrSlideTimer() override {}
        void RunSlideshow1Click() override {}
        std::string SlideIntervalText() const override { return ""; }
    } slides;
    std::unique_ptr<TNextWallpaperHotKey> hotKey;
    // Keys no one else in the prefix uses.
    const HotKey kF7{VK_F7, true, true, true};
    const HotKey kF8{VK_F8, true, true, true};

    void SetUp() override {
        SettingsTest::SetUp();
        hotKey = std::make_unique<TNextWallpaperHotKey>(form.Handle(), host, slides);
        settings.AttachHotKey(*hotKey);
    }
    // What the control tells its page when the user has pressed keys.
    void Press(const HotKey& key) {
        ::SendMessageA(options.hkyNextWallpaper, HKM_SETHOTKEY, ControlValueOf(key), 0);
        ::SendMessageA(options.Handle(), WM_COMMAND,
                       MAKEWPARAM(idNextWallpaperHotKey, EN_CHANGE),
                       reinterpret_cast<LPARAM>(options.hkyNextWallpaper));
    }
    std::string Stored() {
        return TSettingsFile(ini).ReadString("General", "NextWallpaperHotKey", "<missing>");
    }
};

TEST_F(HotKeySettingsTest, TheStoredKeyIsShownAndRegisteredAndJunkCountsAsNone) {
    const struct {
        const char* stored;
        HotKey expected;
    } cases[] = {
        {nullptr, HotKey{}},
        {"Ctrl+Alt+Shift+F7", kF7},
        {"ctrl + alt + shift + f8", kF8},
        {"Ctrl+Alt+Nothing", HotKey{}},
        {"N", HotKey{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(no key)");
        Write("General", "NextWallpaperHotKey", c.stored);
        settings.LoadSaveSettings(TSettings::Direction::Load);
        EXPECT_EQ(options.NextWallpaperHotKey(), c.expected);
        EXPECT_EQ(hotKey->InForce(), c.expected);
    }
    for (const std::string& call : host.calls) EXPECT_NE(call.rfind("error", 0), 0u) << call;
}

TEST_F(HotKeySettingsTest, AChangeIsTakenUpOnceTheKeysRestAndAHeldKeyGoesBackToTheOneThatWorks) {
    Press(kF7);
    EXPECT_TRUE(hotKey->InForce().None());
    clock.Advance(2250);
    EXPECT_EQ(hotKey->InForce(), kF7);
    EXPECT_EQ(Stored(), "Ctrl+Alt+Shift+F7");

    // Another program holds the next one: told by name; the field and the file keep F7.
    ASSERT_TRUE(::RegisterHotKey(nullptr, 0x7779, RegisterModifiers(kF8), kF8.key));
    Press(kF8);
    clock.Advance(2250);
    EXPECT_EQ(host.calls.back(), "error The hot key Ctrl+Alt+Shift+F8 is already used by "
                                 "another program.\rPlease choose another key.");
    EXPECT_EQ(options.NextWallpaperHotKey(), kF7);
    EXPECT_EQ(hotKey->InForce(), kF7);
    EXPECT_EQ(Stored(), "Ctrl+Alt+Shift+F7");
    ::UnregisterHotKey(nullptr, 0x7779);

    // Cleared, even where the control says nothing of it: the next save takes it up.
    Press(kF8);
    clock.Advance(2250);
    ASSERT_EQ(hotKey->InForce(), kF8);
    ::SendMessageA(options.hkyNextWallpaper, HKM_SETHOTKEY, 0, 0);
    settings.SaveSettings();
    EXPECT_TRUE(hotKey->InForce().None());
    EXPECT_EQ(Stored(), "");
}

// Another program holds the key for a moment at logon: the key stays the
// user's choice in the field and the file, the user hears of it once, and the
// next save takes it once it is free.
TEST_F(HotKeySettingsTest, AKeyHeldAtStartStaysChosenIsToldOnceAndIsTakenWhenFree) {
    // Another program's hold on the key.
    struct Held {
        bool held;
        explicit Held(const HotKey& key)
            : held(::RegisterHotKey(nullptr, 0x777A, RegisterModifiers(key), key.key) != 0) {}
        ~Held() {
            if (held) ::UnregisterHotKey(nullptr, 0x777A);
        }
    } other(kF8);
    ASSERT_TRUE(other.held);
    auto errors = [&] {
        std::vector<std::string> found;
        for (const std::string& call : host.calls) {
            if (call.rfind("error", 0) == 0) found.push_back(call);
        }
        return found;
    };
    const std::vector<std::string> told = {
        "error The hot key Ctrl+Alt+Shift+F8 is already used by another program.\rPlease "
        "choose another key."};

    Write("General", "NextWallpaperHotKey", "Ctrl+Alt+Shift+F8");
    settings.LoadSaveSettings(TSettings::Direction::Load);
    EXPECT_EQ(errors(), told);
    EXPECT_EQ(options.NextWallpaperHotKey(), kF8);
    EXPECT_TRUE(hotKey->InForce().None());

    // Another setting is saved: the file keeps the key, tried again without a word.
    Click(options.chkConfirmExit);
    clock.Advance(2250);
    EXPECT_EQ(Stored(), "Ctrl+Alt+Shift+F8");
    EXPECT_EQ(options.NextWallpaperHotKey(), kF8);
    EXPECT_TRUE(hotKey->InForce().None());
    EXPECT_EQ(errors(), told);

    ::UnregisterHotKey(nullptr, 0x777A);
    other.held = false;
    settings.SaveSettings();
    EXPECT_EQ(hotKey->InForce(), kF8);
    EXPECT_EQ(Stored(), "Ctrl+Alt+Shift+F8");
    EXPECT_EQ(errors(), told);
}

// A settings file counts as saved by the program unless it is missing or holds
// no more than the start-up choice a setup program leaves before the first run.
TEST(SettingsFileTest, HoldsSavedSettingsUnlessOnlyTheStartUpChoiceIsThere) {
    struct Case {
        const char* content;  // nullptr: no file
        bool saved;
    };
    const Case cases[] = {
        {nullptr, false},
        {"", false},
        {"[General]\r\nStartWithWindows=0\r\n", false},
        {"[general]\r\nstartwithwindows=1\r\n", false},
        {"[General]\r\nStartWithWindows=0\r\nVerbose=0\r\n", true},
        {"[General]\r\nStartWithWindows=0\r\n[Slideshow]\r\nChangeOnStartup=0\r\n", true},
        {"[Directories]\r\nDataDir=c:\\pictures\r\n", true},
    };
    for (const Case& c : cases) {
        testing::TempDir dir;
        const std::string ini = dir / "pictavo.INI";
        if (c.content) dir.Write("pictavo.INI", c.content);
        EXPECT_EQ(TSettingsFile(ini).HoldsSavedSettings(), c.saved)
            << (c.content ? c.content : "(no file)");
    }
}

}  // namespace
}  // namespace pictavo
