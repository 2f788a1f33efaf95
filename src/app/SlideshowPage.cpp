#include "app/SlideshowPage.h"

#include "platform/Controls.h"

namespace pictavo {
namespace {

// Looks, once the focus has settled, whether it left the group " Slideshow ".
constexpr UINT WM_CHECK_INTERVAL_FOCUS = WM_APP + 2;

}  // namespace

TSlideshowPage::TSlideshowPage(HWND parent, const RECT& area, const TDesignOptions& design)
    : TSettingsPage(parent, area, "tsSlideshow"), design_(design) {
    ControlBuilder b(Handle());
    gbxInterval = b.Group(" Slideshow ", 8, 8, 370, 108);
    chkAutoChange = b.Check("&Enable Slideshow", idAutoChange, 20, 26, 200, true);
    b.Label("C&hange every:", 20, 54, 80);
    edtHrs = b.Edit("0", idHrs, 104, 50, 44);
    updHrs = b.Spin(edtHrs, idUpdHrs, 0, 72, 1, 0);
    b.Label("hrs", 152, 54, 24);
    edtMins = b.Edit("5", idMins, 180, 50, 44);
    updMins = b.Spin(edtMins, idUpdMins, 0, 59, 1, 5);
    b.Label("mins", 228, 54, 28);
    edtSecs = b.Edit("0", idSecs, 260, 50, 44);
    updSecs = b.Spin(edtSecs, idUpdSecs, 0, 59, 5, 0);
    b.Label("secs", 308, 54, 28);
    chkRandom = b.Check("&Random Order", idRandom, 20, 84, 200, true);

    b.Group(" Startup ", 8, 122, 370, 48);
    chkChangeOnStartup =
        b.Check("&Change Wallpaper on Startup", idChangeOnStartup, 20, 142, 250, true);

    b.Group(" Display ", 8, 176, 370, 108);
    chkLimitImageSize = b.Check("&Limit wallpaper size to:", idLimitImageSize, 20, 198, 160, false);
    edtMaxImageSize = b.Edit("1500", idMaxImageSize, 190, 194, 64);
    updImageSize = b.Spin(edtMaxImageSize, idUpdImageSize, 0, 32000, 250, 1500);
    b.Label("k bytes", 262, 198, 60);
    chkLimitPreviewSize =
        b.Check("Limit &preview size to:", idLimitPreviewSize, 20, 226, 160, true);
    edtMaxPreviewSize = b.Edit("250", idMaxPreviewSize, 190, 222, 64);
    updPreviewSize = b.Spin(edtMaxPreviewSize, idUpdPreviewSize, 0, 32000, 250, 250);
    b.Label("k bytes", 262, 226, 60);
    chkShrinkToFit = b.Check("Shrink large pictures to fit the screen", idShrinkToFit, 20, 254,
                             300, true);
}

bool TSlideshowPage::IsIntervalControl(HWND control) const {
    return control == edtHrs || control == edtMins || control == edtSecs || control == updHrs ||
           control == updMins || control == updSecs;
}

bool TSlideshowPage::IsIntervalGroupControl(HWND control) const {
    return IsIntervalControl(control) || control == chkAutoChange || control == chkRandom;
}

void TSlideshowPage::chkLimitImageSizeClick(const void* sender) {
    // The too-big marks are worked out from the limit whenever they are read
    // (cdtInventoryCalcFields), so the change needs only its save.
    handlers_->settings.GenericSettingsChange(sender);
}

void TSlideshowPage::gbxIntervalExit() {
    handlers_->slides.gbxIntervalExit();
    handlers_->polls.ApplyPollSettings();
}

LRESULT TSlideshowPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == EN_KILLFOCUS &&
        IsIntervalGroupControl(reinterpret_cast<HWND>(lParam))) {
        ::PostMessageA(Handle(), WM_CHECK_INTERVAL_FOCUS, 0, 0);
    }
    if (message == WM_CHECK_INTERVAL_FOCUS) {
        if (handlers_ && !IsIntervalGroupControl(::GetFocus())) gbxIntervalExit();
        return 0;
    }
    return TSettingsPage::HandleMessage(message, wParam, lParam);
}

bool TSlideshowPage::OnCommand(int id, int code, HWND control) {
    if (!handlers_) return false;
    Handlers& h = *handlers_;
    if (code == BN_CLICKED) {
        switch (id) {
            case idRandom:
            case idChangeOnStartup:
            case idLimitPreviewSize:
            case idShrinkToFit:
                h.settings.GenericSettingsChange(control);
                return true;
            case idLimitImageSize:
                chkLimitImageSizeClick(control);
                return true;
            case idAutoChange:
                h.slides.chkAutoChangeClick();
                return true;
        }
        return false;
    }
    if (code == EN_CHANGE) {
        HWND focus = ::GetFocus();
        switch (id) {
            case idHrs:
            case idMins:
            case idSecs:
                h.slides.GenericSlideTimerChange(control);
                return true;
            case idMaxImageSize:
                // Only the user at work counts, not the program setting the number.
                if (focus == edtMaxImageSize || focus == updImageSize) {
                    chkLimitImageSizeClick(control);
                }
                return true;
            case idMaxPreviewSize:
                if (focus == edtMaxPreviewSize || focus == updPreviewSize) {
                    h.settings.GenericSettingsChange(control);
                }
                return true;
        }
        return false;
    }
    if (code == EN_SETFOCUS || code == EN_KILLFOCUS) {
        if (id == idHrs || id == idMins || id == idSecs) {
            intervalEditing_ = code == EN_SETFOCUS;
            return true;
        }
    }
    return false;
}

SlideOptions TSlideshowPage::ReadSlideOptions() const {
    SlideOptions options;
    options.random = Checked(chkRandom);
    options.autoChange = Checked(chkAutoChange);
    options.limitSize = Checked(chkLimitImageSize);
    options.maxSizeK = SpinPosition(updImageSize);
    options.showAll = Checked(design_.rdoAll);
    options.showTiled = Checked(design_.rdoTiled);
    options.showCentred = Checked(design_.rdoCentred);
    options.saveEachChange = Checked(design_.chkSaveEachChange);
    return options;
}

int TSlideshowPage::SlideHours() const { return SpinPosition(updHrs); }
int TSlideshowPage::SlideMinutes() const { return SpinPosition(updMins); }
int TSlideshowPage::SlideSeconds() const { return SpinPosition(updSecs); }
bool TSlideshowPage::AutoChange() const { return Checked(chkAutoChange); }
void TSlideshowPage::SetAutoChange(bool checked) { SetChecked(chkAutoChange, checked); }
bool TSlideshowPage::ChangeDuringSaver() const { return Checked(design_.chkChangeDuringSaver); }
bool TSlideshowPage::SendChangeNotification() const {
    return Checked(design_.chkSendChangeNotification);
}
bool TSlideshowPage::SyncWithManualChange() const {
    return Checked(design_.chkSyncWithManualChange);
}
bool TSlideshowPage::ShrinkToFit() const { return Checked(chkShrinkToFit); }
bool TSlideshowPage::LimitImageSize() const { return Checked(chkLimitImageSize); }
int TSlideshowPage::MaxImageSize() const { return SpinPosition(updImageSize); }

}  // namespace pictavo
