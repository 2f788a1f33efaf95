#pragma once
// The slideshow: showing the next picture (SlideSelection chooses it; this
// traces, reports and applies what it says) and when (the slide timer, its
// interval, the screen-saver test, the pause while a full-screen program runs).
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "desktop/DesktopWallpaper.h"
#include "desktop/SlideControl.h"
#include "inventory/InventoryStore.h"
#include "platform/InputTimeout.h"
#include "platform/Timer.h"
#include "platform/UserInterface.h"
#include "slideshow/FullScreenPause.h"
#include "slideshow/FullScreenProbe.h"
#include "slideshow/SlideSelection.h"
#include "slideshow/SlideSettings.h"

namespace pictavo {

class TSlideShow : public ISlideControl, public ISlideshowHandlers {
public:
    static constexpr int kRandomTries = kRandomSlideTries;

    struct SlideInfo {
        std::string path;  // empty when nothing was found
        bool tile = true;
        bool persist = true;
    };

    struct Services {
        ISlideSettings& settings;
        ISettingsSaver& saver;
        TInventoryStore& inventory;
        TDesktopWallpaper& desktop;
        TInputTimeout& inputTimeout;
        ITimerFactory& timers;
        IUserInterface& ui;
        const ProgramFlags& flags;
        IRunSlideshowMark& runSlideshowMark;
        IFullScreenProbe& fullScreen;
    };

    explicit TSlideShow(Services services);

    // Seams: the random source (a number from 0 to n - 1, uniform over the
    // whole range, seeded at start) and the screen-saver test.
    SlideRandom Random;
    std::function<bool()> ScreenSaverRunning = [] { return IsScreenSaverRunning(); };

    void ShowNextSlide() override;
    SlideInfo GetNextSlideInfo();
    bool AcceptsTileMode(bool tile) const;

    void ApplySlideInterval() override;
    void chkAutoChangeClick() override;
    void RunSlideshow1Click() override;
    // "Change Wallpaper &Now" runs this as well: the user asked, so no
    // full-screen program holds it back.
    void tmrSlideTimer() override;
    // A tick of the slide timer: passes while a full-screen program runs (when
    // the user wants that), and says why in the trace. The timer keeps its
    // beat, so the next change comes on its interval, not at once.
    void tmrSlideTimerTick();
    // The screen changed size (WM_DISPLAYCHANGE): a rendered wallpaper is
    // rendered again for it, but not while a full-screen program has the
    // screen (a game switching its resolution). Then it is done once, when
    // that program has gone.
    void DisplayChanged();
    void RestartSlideCountdown() override;
    std::string SlideIntervalText() const override;
    void GenericSlideTimerChange(const void* sender) override;
    void SaveSlideSettings(const void* sender);
    void gbxIntervalExit() override;

    static bool IsScreenSaverRunning();
    ITimer& tmrSlide() { return *tmrSlide_; }
    bool SlideChangeInProgress() const { return slideChangeInProgress_; }

private:
    SlideOptions Options() const;
    // Why a change must wait now; TickPass::None when nothing holds it back.
    TickPass FullScreenPass();
    void tmrDisplayChangeTimer();

    ISlideSettings& settings_;
    TInventoryStore& inventory_;
    TDesktopWallpaper& desktop_;
    TInputTimeout& inputTimeout_;
    ISettingsSaver& saver_;
    IUserInterface& ui_;
    const ProgramFlags& flags_;
    IRunSlideshowMark& runSlideshowMark_;
    IFullScreenProbe& fullScreen_;
    std::unique_ptr<ITimer> tmrSlide_;
    // Looks again and again for the end of a full-screen program while a
    // change of the screen waits for it; off otherwise.
    std::unique_ptr<ITimer> tmrDisplayChange_;
    bool slideChangeInProgress_ = false;
};

}  // namespace pictavo
