#include "slideshow/SlideShow.h"

#include "platform/Controls.h"
#include "platform/FlagScope.h"
#include "platform/Files.h"
#include "slideshow/SlideInterval.h"

namespace pictavo {
namespace {

// The longest interval a window-message timer takes.
constexpr uint32_t kMaxTimerInterval = 0x7FFFFFFF;

}  // namespace

TSlideShow::TSlideShow(TSettingsPages& pages, TInventoryStore& inventory,
                       TDesktopWallpaper& desktop, TInputTimeout& inputTimeout,
                       ITimerFactory& timers, ISlideShowHost& host)
    : pages_(pages),
      inventory_(inventory),
      desktop_(desktop),
      inputTimeout_(inputTimeout),
      host_(host),
      tmrSlide_(timers.CreateTimer()) {
    tmrSlide_->SetEnabled(false);
    tmrSlide_->SetInterval(0);
    tmrSlide_->OnTimer = [this] { tmrSlideTimer(); };
}

// ---------------------------------------------------------------------------
// Choosing the next slide

bool TSlideShow::AcceptsTileMode(bool tile) const {
    return Checked(pages_.rdoAll) || (tile && Checked(pages_.rdoTiled)) ||
           (!tile && Checked(pages_.rdoCentred));
}

bool TSlideShow::IsEligible(const InventoryRecord& record, bool fileExists) const {
    if (!record.Enabled || !fileExists || !AcceptsTileMode(record.Tile)) return false;
    return !Checked(pages_.chkLimitImageSize) ||
           static_cast<int64_t>(record.Size) <=
               static_cast<int64_t>(SpinPosition(pages_.updImageSize)) * 1000;
}

void TSlideShow::DropVanished() {
    // The file system is the truth: the list follows it without a question.
    inventory_.cdtSlideShow().Delete();
    inventory_.ShowPictureCount();
    inventory_.ScheduleSave();
}

TSlideShow::SlideInfo TSlideShow::GetNextSlideInfo() {
    InventoryCursor& slides = inventory_.cdtSlideShow();
    std::string candidate;

    if (Checked(pages_.chkRandom)) {
        const int count = static_cast<int>(inventory_.Table().Count());
        host_.Trace("FrmMain.GetNextSlideInfo: Random Search " + std::to_string(count) +
                    " records");
        const std::string start = slides.HasRecord() ? KeyPath(slides.Record()) : std::string();
        int attempt = 1;
        for (; attempt <= kRandomTries; ++attempt) {
            const int records = static_cast<int>(inventory_.Table().Count());
            const int number = Random(records) + 1;
            if (number < 1 || number > records) continue;
            slides.MoveTo(static_cast<size_t>(number - 1));
            const InventoryRecord& record = slides.Record();
            std::string path = KeyPath(record);
            if (!FileExists(path)) {
                DropVanished();
                continue;
            }
            // Never the picture the slideshow stands on.
            if (path == start) continue;
            if (IsEligible(record, true)) {
                candidate = std::move(path);
                break;
            }
        }
        host_.Trace("FrmMain.GetNextSlideInfo: " + std::to_string(attempt) + " tries of " +
                    std::to_string(kRandomTries));
    }

    if (candidate.empty()) {
        host_.Trace("FrmMain.GetNextSlideInfo: Sequential Search");
        bool wrapped = false;
        bool stay = false;  // the cursor already stands on the record to examine
        for (;;) {
            if (!stay) slides.Next();
            stay = false;
            if (!slides.HasRecord() || slides.Eof()) {
                if (wrapped || !slides.HasRecord()) break;
                slides.First();
                wrapped = true;
                stay = true;
                continue;
            }
            const InventoryRecord& record = slides.Record();
            // Disabled pictures are passed over before their file is looked
            // for, so an ordered pass over a large list stays quick.
            if (!record.Enabled) continue;
            std::string path = KeyPath(record);
            if (!FileExists(path)) {
                // The cursor lands on the following record (past the end
                // when the last one went): examine it without moving on.
                DropVanished();
                stay = true;
                continue;
            }
            if (IsEligible(record, true)) {
                candidate = std::move(path);
                break;
            }
        }
        if (candidate.empty()) {
            if (Checked(pages_.chkAutoChange)) {
                host_.ShowMessage("No images selected for slideshow!");
                tmrSlide_->SetEnabled(false);
                SetChecked(pages_.chkAutoChange, false);
            }
            return SlideInfo{"", true, Checked(pages_.chkSaveEachChange)};
        }
    }

    host_.Trace("FrmMain.GetNextSlideInfo: Selected " + std::to_string(slides.RecNo()) + " " +
                candidate);
    return SlideInfo{candidate, slides.Record().Tile, Checked(pages_.chkSaveEachChange)};
}

void TSlideShow::ShowNextSlide() {
    if (slideChangeInProgress_) return;
    FlagScope inProgress(slideChangeInProgress_);
    struct RestoreTimer {
        TSlideShow& show;
        ~RestoreTimer() { show.tmrSlide_->SetEnabled(Checked(show.pages_.chkAutoChange)); }
    } restore{*this};
    tmrSlide_->SetEnabled(false);
    SlideInfo slide = GetNextSlideInfo();
    if (!slide.path.empty()) desktop_.ApplyWallpaper(slide.path, slide.tile, slide.persist);
}

// ---------------------------------------------------------------------------
// Timing

void TSlideShow::ApplySlideInterval() {
    const uint32_t interval =
        SlideIntervalMilliseconds(SpinPosition(pages_.updHrs), SpinPosition(pages_.updMins),
                                  SpinPosition(pages_.updSecs));
    if (interval > kMaxTimerInterval) {
        tmrSlide_->SetEnabled(false);
        ::SetForegroundWindow(::GetAncestor(pages_.chkAutoChange, GA_ROOT));
        host_.ShowMessage("Error: Interval is too large");
        return;
    }
    if (interval != tmrSlide_->Interval()) {
        tmrSlide_->SetEnabled(false);
        tmrSlide_->SetInterval(interval);
    }
    const bool on = Checked(pages_.chkAutoChange);
    // Enabling an enabled timer must not restart its countdown.
    if (on != tmrSlide_->Enabled()) tmrSlide_->SetEnabled(on);
}

void TSlideShow::chkAutoChangeClick() {
    inputTimeout_.Flush();
    ApplySlideInterval();
    const bool on = Checked(pages_.chkAutoChange);
    if (host_.RunSlideshowChecked() != on) host_.SetRunSlideshowChecked(on);
    if (on) ShowNextSlide();
    inputTimeout_.Schedule(pages_.chkAutoChange,
                           [this](const void* sender) { SaveSlideSettings(sender); });
}

void TSlideShow::tmrSlideTimer() {
    if (host_.SettingsInProgress() || host_.IntervalEditing()) return;
    if (Checked(pages_.chkChangeDuringSaver) || !ScreenSaverRunning()) ShowNextSlide();
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
    return pictavo::SlideIntervalText(SpinPosition(pages_.updHrs), SpinPosition(pages_.updMins),
                                      SpinPosition(pages_.updSecs));
}

void TSlideShow::GenericSlideTimerChange(HWND sender) {
    inputTimeout_.Schedule(sender, [this](const void* s) { SaveSlideSettings(s); });
}

void TSlideShow::SaveSlideSettings(const void*) {
    ApplySlideInterval();
    host_.SetIntervalEditing(false);
    if (!host_.SettingsTransfer()) host_.SaveSettings();
}

void TSlideShow::gbxIntervalExit() {
    ApplySlideInterval();
    host_.ApplyPollSettings();
}

}  // namespace pictavo
