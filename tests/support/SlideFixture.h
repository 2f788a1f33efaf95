#pragma once
// The wallpaper and the slideshow wired as the main window wires them, on
// virtual time, over a real inventory of small files in a temporary folder.
// The hosts record what they are asked to do.
#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/DesignOptions.h"
#include "app/SlideshowPage.h"
#include "desktop/DesktopWallpaper.h"
#include "inventory/InventoryStore.h"
#include "platform/Controls.h"
#include "platform/InputTimeout.h"
#include "platform/Window.h"
#include "slideshow/SlideShow.h"
#include "support/FakeWallpaper.h"
#include "support/ScriptedRenderer.h"
#include "support/TempDir.h"
#include "support/VirtualTimers.h"

namespace pictavo::testing {

// The system seam with one log of both calls, to show their order.
class LoggedWallpaper final : public IWallpaperSystem {
public:
    FakeWallpaper values;
    std::vector<std::string> log;

    std::optional<DesktopValues> ReadDesktop() override { return values.ReadDesktop(); }
    bool WriteTile(bool tile) override {
        log.push_back(std::string("tile ") + (tile ? "1" : "0"));
        return values.WriteTile(tile);
    }
    bool SetDeskWallpaper(const std::string& path, UINT fWinIni, DWORD& error) override {
        log.push_back("set " + path + " " + std::to_string(fWinIni));
        return values.SetDeskWallpaper(path, fWinIni, error);
    }
    size_t Applied() const { return values.calls.size(); }
};

// The program's face as the inventory sees it: the count line, messages and
// the preview, recorded.
struct RecordingInventoryHost : IUserInterface, IImageSizeLimit, IPreviewRefresh {
    std::vector<std::string> errors;
    std::string hint;
    int previews = 0;

    HWND MainWindow() const override { return nullptr; }
    void Trace(const std::string&) override {}
    void ShowError(const std::string& message) override { errors.push_back(message); }
    void ShowHint(const std::string& text) override { hint = text; }
    void ProcessMessages() override {}
    bool LimitImageSize() const override { return false; }
    int MaxImageSize() const override { return 1500; }
    void RefreshPreview() override { ++previews; }
    void InventoryChanged() override {}
};

// The program's face as one subsystem sees it, recording into lists the
// host keeps.
struct RecordingUi : IUserInterface {
    std::vector<std::string>& errors;
    std::vector<std::string>& traces;
    std::function<void()>& onProcessMessages;

    RecordingUi(std::vector<std::string>& e, std::vector<std::string>& t, std::function<void()>& p)
        : errors(e), traces(t), onProcessMessages(p) {}
    HWND MainWindow() const override { return nullptr; }
    void Trace(const std::string& text) override { traces.push_back(text); }
    void ShowError(const std::string& message) override { errors.push_back(message); }
    void ShowHint(const std::string&) override {}
    void ProcessMessages() override {
        if (onProcessMessages) onProcessMessages();
    }
};

// Stands in for what surrounds the wallpaper and the slideshow: the
// settings, the captions, the tray mark, detection; and, between the
// wallpaper or the page and the slideshow, it counts the slideshow's calls.
struct RecordingMainHost : IDesktopOptions,
                           IWallpaperCaptions,
                           ICaptureHistory,
                           ISlideControl,
                           ISlideshowHandlers,
                           ISettingsSaver,
                           ISettingsChanges,
                           IPollControl,
                           IRunSlideshowMark {
    TSlideshowPage* pages = nullptr;
    TDesignOptions* design = nullptr;
    TSlideShow* slideShow = nullptr;

    std::function<void()> onProcessMessages;
    std::string caption;
    int uncheckAutoChange = 0, restarts = 0, nextSlides = 0;
    // The wallpaper's messages, the slideshow's messages and traces.
    std::vector<std::string> errors, messages, traces;
    std::string capturedSource, capturedDestination;
    RecordingUi desktopUi{errors, traces, onProcessMessages};
    RecordingUi slideUi{messages, traces, onProcessMessages};

    // IDesktopOptions
    bool SendChangeNotification() const override {
        return Checked(design->chkSendChangeNotification);
    }
    bool SyncWithManualChange() const override { return Checked(design->chkSyncWithManualChange); }
    void UncheckAutoChange() override {
        ++uncheckAutoChange;
        SetChecked(pages->chkAutoChange, false);
    }
    bool ShrinkToFit() const override { return pages ? Checked(pages->chkShrinkToFit) : true; }
    void SetCaptions(const std::string& text) override { caption = text; }
    std::string LastCapturedSource() const override { return capturedSource; }
    std::string LastCapturedDestination() const override { return capturedDestination; }

    // ISlideControl, as the wallpaper calls it
    void RestartSlideCountdown() override {
        ++restarts;
        if (slideShow) slideShow->RestartSlideCountdown();
    }
    void ShowNextSlide() override {
        ++nextSlides;
        if (slideShow) slideShow->ShowNextSlide();
    }
    void tmrSlideTimer() override { slideShow->tmrSlideTimer(); }
    void RunSlideshow1Click() override { slideShow->RunSlideshow1Click(); }
    std::string SlideIntervalText() const override { return slideShow->SlideIntervalText(); }

    // ISlideshowHandlers, as the page calls them
    int autoChangeClicks = 0;
    void ApplySlideInterval() override { slideShow->ApplySlideInterval(); }
    void chkAutoChangeClick() override {
        ++autoChangeClicks;
        slideShow->chkAutoChangeClick();
    }
    void GenericSlideTimerChange(const void* sender) override {
        slideShow->GenericSlideTimerChange(sender);
    }
    void gbxIntervalExit() override { slideShow->gbxIntervalExit(); }

    // The settings' and detection's handlers on the page
    int settingsChanges = 0, pollApplied = 0;
    void GenericSettingsChange(const void*) override { ++settingsChanges; }
    void StartupSettingsChange(const void*) override { ++settingsChanges; }
    void HotKeySettingsChange(const void*) override { ++settingsChanges; }
    void ApplyPollSettings() override { ++pollApplied; }
    void chkPollForChangeClick() override {}
    void edtPollFileNameChange() override {}

    // The slideshow's surroundings
    ProgramFlags flags;
    bool settingsTransfer = false;
    bool runSlideshowChecked = true;
    int settingsSaves = 0;

    bool SettingsTransfer() const override { return settingsTransfer; }
    void SaveSettings(const void*) override { ++settingsSaves; }
    bool RunSlideshowChecked() const override { return runSlideshowChecked; }
    void SetRunSlideshowChecked(bool checked) override { runSlideshowChecked = checked; }
};

// The window the page sits on.
class SlideForm : public Window {
public:
    SlideForm() {
        Create("SlideFixtureForm", 0, WS_OVERLAPPEDWINDOW, "test", 0, 0, 420, 480, nullptr);
    }
};

// What the system says about full-screen programs, as the test sets it; it
// counts how often it was asked.
struct StandInFullScreen : IFullScreenProbe {
    std::optional<int> state = 5;  // accepts notifications
    bool foregroundFills = false;
    int stateAsked = 0, foregroundAsked = 0;

    std::optional<int> NotificationState() override {
        ++stateAsked;
        return state;
    }
    bool ForegroundFillsMonitor() override {
        ++foregroundAsked;
        return foregroundFills;
    }
};

// The random source, answered from a script; `fallback` once it runs out.
struct ScriptedRandom {
    std::deque<int> answers;
    int fallback = 0;
    std::vector<int> asked;  // the n of each call

    int operator()(int n) {
        asked.push_back(n);
        if (answers.empty()) return fallback;
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class SlideRig {
public:
    TempDir dir;
    VirtualTimers clock;
    TInputTimeout timeout{clock, 2250};
    LoggedWallpaper wallpaper;
    RecordingInventoryHost inventoryHost;
    TInventoryStore store{timeout, inventoryHost, inventoryHost};
    RecordingMainHost host;
    SlideForm form;
    RECT area{0, 0, 390, 370};
    TDesignOptions design{form.Handle()};
    TSlideshowPage pages{form.Handle(), area, design};
    ScriptedRenderer renderer;
    TDesktopWallpaper desktop{wallpaper, store, host.desktopUi, host, host, "Pictavo", renderer};
    StandInFullScreen fullScreen;
    TSlideShow slideShow{
        {pages, host, store, desktop, timeout, clock, host.slideUi, host.flags, host, fullScreen}};
    ScriptedRandom random;
    bool screenSaver = false;

    SlideRig() {
        store.SetTableFile(dir.Path(), "GDB.CDS");
        store.CreateTable();
        store.MakeClones();
        store.AttachPreview(&inventoryHost);
        host.pages = &pages;
        host.design = &design;
        host.slideShow = &slideShow;
        pages.Attach({host, host, host});
        desktop.AttachSlideControl(host);
        desktop.AttachCaptureHistory(host);
        slideShow.Random = [this](int n) { return random(n); };
        slideShow.ScreenSaverRunning = [this] { return screenSaver; };
    }
    ~SlideRig() {
        // Pending work must not reach a slideshow that is gone.
        timeout.Flush();
    }
    SlideRig(const SlideRig&) = delete;
    SlideRig& operator=(const SlideRig&) = delete;

    // A picture file in the temporary folder and its record.
    std::string AddPicture(const std::string& name, bool enabled = true, bool tile = true,
                           int32_t size = 58) {
        const std::string path = dir.Write(name, std::string(58, 'p'));
        InventoryRecord record;
        record.FileName = name;
        record.Location = dir.Path();
        record.Enabled = enabled;
        record.Tile = tile;
        record.Size = size;
        store.cdtData().Append(std::move(record));
        return path;
    }
    // Whether the list was handed to a save: runs what is pending and looks for the table file.
    bool ListSaved() {
        timeout.Flush();
        return ::GetFileAttributesA(store.TableFilePath().c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // A record whose file is wherever the folder says, made by nobody.
    std::string AddRecord(const std::string& folder, const std::string& name, bool enabled = true) {
        InventoryRecord record;
        record.FileName = name;
        record.Location = folder;
        record.Enabled = enabled;
        record.Size = 58;
        store.cdtData().Append(std::move(record));
        return folder + "\\" + name;
    }
    bool Listed(const std::string& name) {
        return store.Table().Seek(LowerCase(name), LowerCase(dir.Path())) != NoRecord;
    }
    void PutSlideCursorOn(const std::string& name) {
        ASSERT_TRUE(store.cdtSlideShow().Seek(LowerCase(name), LowerCase(dir.Path()))) << name;
    }
    void PutListCursorOn(const std::string& name) {
        ASSERT_TRUE(store.cdtInventory().Seek(LowerCase(name), LowerCase(dir.Path()))) << name;
    }

    // Sets the interval as the settings load would, and starts the timer on it.
    void SetInterval(int hours, int minutes, int seconds) {
        SetSpinPosition(pages.updHrs, hours);
        SetSpinPosition(pages.updMins, minutes);
        SetSpinPosition(pages.updSecs, seconds);
        timeout.Flush();
        slideShow.ApplySlideInterval();
        host.settingsSaves = 0;
    }
    // The paths the system was asked to show, in order.
    std::vector<std::string> AppliedPaths() const {
        std::vector<std::string> paths;
        for (const auto& call : wallpaper.values.calls) paths.push_back(call.path);
        return paths;
    }
};

}  // namespace pictavo::testing
