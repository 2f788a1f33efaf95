#pragma once
// The "&Slideshow" page: the slideshow's interval and switch, the start-up
// change and the size limits. Its controls hold these settings while the
// program runs (the program reads a setting from its control), and their
// notices come here, to the page they sit on.
#include <windows.h>

#include <optional>

#include "app/DesignOptions.h"
#include "app/SettingsChanges.h"
#include "app/SettingsPage.h"
#include "desktop/DesktopWallpaper.h"
#include "detect/WallpaperDetector.h"
#include "inventory/InventoryStore.h"
#include "slideshow/SlideSettings.h"

namespace pictavo {

enum SlideshowControlId {
    idAutoChange = 200,
    idHrs,
    idUpdHrs,
    idMins,
    idUpdMins,
    idSecs,
    idUpdSecs,
    idRandom,
    idChangeOnStartup,
    idLimitImageSize,
    idMaxImageSize,
    idUpdImageSize,
    idLimitPreviewSize,
    idMaxPreviewSize,
    idUpdPreviewSize,
    idShrinkToFit,
};

class TSlideshowPage : public TSettingsPage,
                       public ISlideSettings,
                       public IDesktopOptions,
                       public IImageSizeLimit {
public:
    // Builds every control with its designed caption, range, step and default.
    TSlideshowPage(HWND parent, const RECT& area, const TDesignOptions& design);

    // Whom the controls' handlers call. The settings, the slideshow and
    // detection read their settings from this page, so they are made after it
    // and attached here; until then a notice changes nothing.
    struct Handlers {
        ISettingsChanges& settings;
        ISlideshowHandlers& slides;
        IPollControl& polls;
    };
    void Attach(const Handlers& handlers) { handlers_.emplace(handlers); }

    // group " Slideshow "
    HWND gbxInterval, chkAutoChange, edtHrs, updHrs, edtMins, updMins, edtSecs, updSecs, chkRandom;
    // group " Startup "
    HWND chkChangeOnStartup;
    // group " Display "
    HWND chkLimitImageSize, edtMaxImageSize, updImageSize;
    HWND chkLimitPreviewSize, edtMaxPreviewSize, updPreviewSize;
    HWND chkShrinkToFit;

    // The three interval boxes and their spinners: focus inside means the user edits the interval.
    bool IsIntervalControl(HWND control) const;
    // Every control of the group " Slideshow ".
    bool IsIntervalGroupControl(HWND control) const;

    void chkLimitImageSizeClick(const void* sender);
    void gbxIntervalExit();

    // What the slideshow reads and changes.
    SlideOptions ReadSlideOptions() const override;
    int SlideHours() const override;
    int SlideMinutes() const override;
    int SlideSeconds() const override;
    bool AutoChange() const override;
    void SetAutoChange(bool checked) override;
    const void* AutoChangeSender() const override { return chkAutoChange; }
    bool ChangeDuringSaver() const override;
    bool IntervalEditing() const override { return intervalEditing_; }
    void SetIntervalEditing(bool editing) override { intervalEditing_ = editing; }

    // What the wallpaper reads and changes.
    bool SendChangeNotification() const override;
    bool SyncWithManualChange() const override;
    void UncheckAutoChange() override { SetAutoChange(false); }
    bool ShrinkToFit() const override;

    // What the inventory reads.
    bool LimitImageSize() const override;
    int MaxImageSize() const override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    const TDesignOptions& design_;
    std::optional<Handlers> handlers_;
    bool intervalEditing_ = false;
};

}  // namespace pictavo
