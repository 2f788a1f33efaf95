#pragma once
// The slideshow: showing the next picture (SlideSelection chooses it; this
// traces, reports and applies what it says) and when (the slide timer, its
// interval, the screen-saver test).
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "desktop/DesktopWallpaper.h"
#include "inventory/InventoryStore.h"
#include "platform/InputTimeout.h"
#include "platform/Timer.h"
#include "slideshow/SlideSelection.h"
#include "slideshow/SlideSettings.h"

namespace pictavo {

class ISlideShowHost {
public:
    virtual ~ISlideShowHost() = default;
    virtual bool SettingsInProgress() const = 0;
    virtual bool IntervalEditing() const = 0;
    virtual void SetIntervalEditing(bool editing) = 0;
    virtual bool SettingsTransfer() const = 0;
    virtual void SaveSettings() = 0;
    virtual void ApplyPollSettings() = 0;
    // The tray menu's "Run &Slideshow" check mark.
    virtual bool RunSlideshowChecked() const = 0;
    virtual void SetRunSlideshowChecked(bool checked) = 0;
    virtual void Trace(const std::string& text) = 0;
    // Brings the main window to the foreground and shows the message.
    virtual void ShowMessage(const std::string& text) = 0;
};

class TSlideShow {
public:
    static constexpr int kRandomTries = kRandomSlideTries;

    struct SlideInfo {
        std::string path;  // empty when nothing was found
        bool tile = true;
        bool persist = true;
    };

    TSlideShow(ISlideSettings& settings, TInventoryStore& inventory, TDesktopWallpaper& desktop,
               TInputTimeout& inputTimeout, ITimerFactory& timers, ISlideShowHost& host);

    // Seams: the random source (a number from 0 to n - 1, uniform over the
    // whole range, seeded at start) and the screen-saver test.
    SlideRandom Random;
    std::function<bool()> ScreenSaverRunning = [] { return IsScreenSaverRunning(); };

    void ShowNextSlide();
    SlideInfo GetNextSlideInfo();
    bool AcceptsTileMode(bool tile) const;

    void ApplySlideInterval();
    void chkAutoChangeClick();
    void tmrSlideTimer();
    void RestartSlideCountdown();
    std::string SlideIntervalText() const;
    void GenericSlideTimerChange(HWND sender);
    void SaveSlideSettings(const void* sender);
    void gbxIntervalExit();

    static bool IsScreenSaverRunning();
    ITimer& tmrSlide() { return *tmrSlide_; }
    bool SlideChangeInProgress() const { return slideChangeInProgress_; }

private:
    SlideOptions Options() const;

    ISlideSettings& settings_;
    TInventoryStore& inventory_;
    TDesktopWallpaper& desktop_;
    TInputTimeout& inputTimeout_;
    ISlideShowHost& host_;
    std::unique_ptr<ITimer> tmrSlide_;
    bool slideChangeInProgress_ = false;
};

}  // namespace pictavo
