#include "slideshow/SlideShow.h"

#include <chrono>
#include <ctime>

#include "platform/FileProbe.h"
#include "platform/FlagScope.h"
#include "slideshow/FullScreenPause.h"
#include "slideshow/SlideInterval.h"

namespace pictavo {
namespace {

// The longest interval a window-message timer takes.
constexpr uint32_t kMaxTimerInterval = 0x7FFFFFFF;
// Slides tried in one change when pictures fail to render: a few, so that a
// list of unreadable pictures does not hold the program up.
constexpr int kSlideTries = 3;
// How often a change of the screen held back for a full-screen program looks
// whether it has gone.
constexpr uint32_t kDisplayChangeRetry = 2000;

uint32_t SeedFromClock() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<uint32_t>(ticks) ^ static_cast<uint32_t>(ticks >> 32) ^
           static_cast<uint32_t>(std::time(nullptr)) ^ ::GetCurrentProcessId();
}

}  // namespace

TSlideShow::TSlideShow(Services services)
    : Random(UniformRandom(SeedFromClock())),
      settings_(services.settings),
      inventory_(services.inventory),
      desktop_(services.desktop),
      inputTimeout_(services.inputTimeout),
      saver_(services.saver),
      ui_(services.ui),
      flags_(services.flags),
      runSlideshowMark_(services.runSlideshowMark),
      fullScreen_(services.fullScreen),
      tmrSlide_(services.timers.CreateTimer()),
      tmrDisplayChange_(services.timers.CreateTimer()) {
    tmrSlide_->SetEnabled(false);
    tmrSlide_->SetInterval(0);
    tmrSlide_->OnTimer = [this] { tmrSlideTimerTick(); };
    tmrDisplayChange_->SetEnabled(false);
    tmrDisplayChange_->SetInterval(kDisplayChangeRetry);
    tmrDisplayChange_->OnTimer = [this] { tmrDisplayChangeTimer(); };
}

// ---------------------------------------------------------------------------
// Choosing the next slide

SlideOptions TSlideShow::Options() const {
    SlideOptions options = settings_.ReadSlideOptions();
    options.maxPathLength = TDesktopWallpaper::kMaxWallpaperPath;
    return options;
}

bool TSlideShow::AcceptsTileMode(bool tile) const {
    return pictavo::AcceptsTileMode(settings_.ReadSlideOptions(), tile);
}

TSlideShow::SlideInfo TSlideShow::GetNextSlideInfo() {
    FileProbe::Batch files;
    const SlideSelection chosen =
        SelectNextSlide(inventory_.cdtSlideShow(), Options(),
                        [&files](const std::string& path) { return files.Probe(path); }, Random);
    for (const std::string& line : chosen.trace) ui_.Trace(line);
    if (!chosen.dropped.empty()) {
        inventory_.ShowPictureCount();
        inventory_.ScheduleSave();
    }
    if (chosen.giveUp) {
        ui_.ShowError("No images selected for slideshow!");
        tmrSlide_->SetEnabled(false);
        settings_.SetAutoChange(false);
    }
    return SlideInfo{chosen.path, chosen.tile, chosen.persist};
}

void TSlideShow::ShowNextSlide() {
    if (slideChangeInProgress_) return;
    FlagScope inProgress(slideChangeInProgress_);
    struct RestoreTimer {
        TSlideShow& show;
        ~RestoreTimer() { show.tmrSlide_->SetEnabled(show.settings_.AutoChange()); }
    } restore{*this};
    tmrSlide_->SetEnabled(false);
    // A picture that cannot be rendered is passed over (the wallpaper traced
    // why) and stays listed: its file is there.
    for (int tries = 0; tries < kSlideTries; ++tries) {
        SlideInfo slide = GetNextSlideInfo();
        if (slide.path.empty()) return;
        if (desktop_.ApplyWallpaper(slide.path, slide.tile, slide.persist,
                                    TDesktopWallpaper::Failure::Trace)) {
            return;
        }
        ui_.Trace("Slideshow: passed over " + slide.path);
    }
}

// ---------------------------------------------------------------------------
// Timing

void TSlideShow::ApplySlideInterval() {
    const uint32_t interval = SlideIntervalMilliseconds(
        settings_.SlideHours(), settings_.SlideMinutes(), settings_.SlideSeconds());
    bool accepted = interval <= kMaxTimerInterval;
    if (!accepted) {
        tmrSlide_->SetEnabled(false);
    } else {
        if (interval != tmrSlide_->Interval()) {
            tmrSlide_->SetEnabled(false);
            accepted = tmrSlide_->SetInterval(interval);
        }
        const bool on = settings_.AutoChange();
        // Enabling an enabled timer must not restart its countdown; a refused
        // one is disabled, so applying again tries anew.
        if (on != tmrSlide_->Enabled()) accepted = tmrSlide_->SetEnabled(on) && accepted;
    }
    // The main window comes to the foreground first.
    if (!accepted) ui_.ShowError("Error: Interval is too large");
}

void TSlideShow::chkAutoChangeClick() {
    inputTimeout_.Flush();
    ApplySlideInterval();
    const bool on = settings_.AutoChange();
    if (runSlideshowMark_.RunSlideshowChecked() != on) runSlideshowMark_.SetRunSlideshowChecked(on);
    if (on) ShowNextSlide();
    inputTimeout_.Schedule(settings_.AutoChangeSender(),
                           [this](const void* sender) { SaveSlideSettings(sender); });
}

void TSlideShow::tmrSlideTimer() {
    if (flags_.settingsInProgress || settings_.IntervalEditing()) return;
    if (settings_.ChangeDuringSaver() || !ScreenSaverRunning()) ShowNextSlide();
}

TickPass TSlideShow::FullScreenPass() {
    return FullScreenTickPass(
        settings_.PauseForFullScreen(), [this] { return fullScreen_.NotificationState(); },
        [this] { return fullScreen_.ForegroundFillsMonitor(); });
}

void TSlideShow::tmrSlideTimerTick() {
    const TickPass pass = FullScreenPass();
    if (pass != TickPass::None) {
        ui_.Trace(TickPassTrace(pass));
        return;
    }
    tmrSlideTimer();
}

void TSlideShow::DisplayChanged() {
    if (FullScreenPass() == TickPass::None) {
        tmrDisplayChange_->SetEnabled(false);
        desktop_.DisplayChanged();
        return;
    }
    // Changes of the screen while it waits come to one rendering at its end.
    if (tmrDisplayChange_->Enabled()) return;
    ui_.Trace("SlideShow.DisplayChanged: held back while a full-screen program runs");
    tmrDisplayChange_->SetEnabled(true);
}

void TSlideShow::tmrDisplayChangeTimer() {
    if (FullScreenPass() != TickPass::None) return;
    tmrDisplayChange_->SetEnabled(false);
    desktop_.DisplayChanged();
}

bool TSlideShow::IsScreenSaverRunning() {
    HDESK desktop = ::OpenDesktopA("screen-saver", 0, FALSE, MAXIMUM_ALLOWED);
    if (desktop) {
        ::CloseDesktop(desktop);
        return true;
    }
    // A screen saver that other programs may not open is running as well.
    return ::GetLastError() == ERROR_ACCESS_DENIED;
}

void TSlideShow::RestartSlideCountdown() {
    if (!tmrSlide_->Enabled()) return;
    tmrSlide_->SetEnabled(false);
    tmrSlide_->SetEnabled(true);
}

std::string TSlideShow::SlideIntervalText() const {
    return pictavo::SlideIntervalText(settings_.SlideHours(), settings_.SlideMinutes(),
                                      settings_.SlideSeconds());
}

void TSlideShow::GenericSlideTimerChange(const void* sender) {
    inputTimeout_.Schedule(sender, [this](const void* s) { SaveSlideSettings(s); });
}

void TSlideShow::SaveSlideSettings(const void*) {
    ApplySlideInterval();
    settings_.SetIntervalEditing(false);
    if (!saver_.SettingsTransfer()) saver_.SaveSettings(nullptr);
}

void TSlideShow::gbxIntervalExit() { ApplySlideInterval(); }

void TSlideShow::RunSlideshow1Click() { settings_.SetAutoChange(!settings_.AutoChange()); }

}  // namespace pictavo
