#include "app/Settings.h"

#include <commctrl.h>

#include "inventory/InventoryTable.h"
#include "platform/Controls.h"
#include "platform/Files.h"
#include "platform/FlagScope.h"
#include "shell/StartupShortcut.h"

namespace pictavo {
namespace {

std::vector<std::string> ListBoxItems(HWND list) {
    std::vector<std::string> items;
    const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::string item(static_cast<size_t>(::SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1, '\0');
        item.resize(static_cast<size_t>(
            ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

POINT ClampWindowPosition(int left, int top, int width, int height, int screenWidth,
                          int screenHeight) {
    if (screenHeight < top) top = screenHeight - height;
    if (screenWidth < left) left = screenWidth - width;
    if (top < 0) top = 0;
    if (left < 0) left = 0;
    return POINT{left, top};
}

void TStartupShortcut::SyncStartupShortcut(bool startWithWindows) {
    const std::string failure = pictavo::SyncStartupShortcut(startWithWindows, ExePath());
    if (!failure.empty()) ui_.ShowError(failure);
}

TSettings::TSettings(std::string path, const std::string& programFolder, Controls controls,
                     Services services)
    : file_(std::move(path)),
      c_(controls),
      s_(services),
      defaultDataDirectory_(std::string(StripTrailingBackslashes(programFolder)) + "\\Images"),
      dataDirectory_(defaultDataDirectory_),
      importDir_(StripTrailingBackslashes(programFolder)) {}

void TSettings::LoadSaveSettings(Direction direction, bool loadPosition) {
    FlagScope transfer(settingsTransfer_);
    const bool save = direction == Direction::Save;
    const TSettingsFile& f = file_;

    // One entry: on loading the control's present value is the default.
    auto check = [&](const char* section, const char* key, HWND box) {
        if (save) {
            f.WriteBool(section, key, Checked(box));
        } else {
            SetChecked(box, f.ReadBool(section, key, Checked(box)));
        }
    };
    auto spin = [&](const char* section, const char* key, HWND upDown) {
        if (save) {
            f.WriteInteger(section, key, SpinPosition(upDown));
        } else {
            SetSpinPosition(upDown, f.ReadInteger(section, key, SpinPosition(upDown)));
        }
    };
    auto text = [&](const char* section, const char* key, std::string& value) {
        if (save) {
            f.WriteString(section, key, value);
        } else {
            value = f.ReadString(section, key, value);
        }
    };
    auto edit = [&](const char* section, const char* key, HWND box) {
        std::string value = ControlText(box);
        text(section, key, value);
        if (!save) SetControlText(box, value);
    };

    text("Directories", "DataDir", dataDirectory_);
    if (!save) dataDirectory_ = LowerCase(dataDirectory_);
    text("Directories", "ImportDir", importDir_);
    text("Directories", "DBFileName", tableFileName_);

    if (save) {
        f.WriteInteger("Preview", "PreviewPanelHeight", PreviewPanelHeight());
    } else {
        SetPreviewPanelHeight(f.ReadInteger("Preview", "PreviewPanelHeight", PreviewPanelHeight()));
    }

    if (save) {
        // A missing key counts as different, so the shortcut is made on the first save.
        const bool wanted = Checked(c_.options.chkStartWithWindows);
        if (f.ReadBool("General", "StartWithWindows", !wanted) != wanted) SyncStartupShortcut();
    }
    check("General", "StartWithWindows", c_.options.chkStartWithWindows);
    check("General", "Verbose", c_.options.chkShowSplash);
    check("General", "LimitImageSize", c_.slideshow.chkLimitImageSize);
    spin("General", "MaxImageSize", c_.slideshow.updImageSize);
    check("General", "LimitPreviewSize", c_.slideshow.chkLimitPreviewSize);
    spin("General", "MaxPreviewSize", c_.slideshow.updPreviewSize);
    check("General", "ToolbarHints", c_.options.chkToolbarHints);
    check("General", "UseDefaultEditor", c_.options.rdoDefaultEditor);
    edit("General", "SelectedEditor", c_.options.edtSelectedEditor);
    if (!save) c_.options.UpdateEditorControls();
    if (save) {
        // A change not yet taken up is taken up now, and a chosen key that
        // could not be had is tried again.
        ApplyNextWallpaperHotKey();
        f.WriteString("General", "NextWallpaperHotKey", FormatHotKey(chosenHotKey_));
    } else {
        // Text that names no usable key counts as none.
        const std::optional<HotKey> stored = ParseHotKey(f.ReadString(
            "General", "NextWallpaperHotKey", FormatHotKey(c_.options.NextWallpaperHotKey())));
        chosenHotKey_ = stored.value_or(HotKey{});
        hotKeyRefusalTold_ = false;
        c_.options.SetNextWallpaperHotKey(chosenHotKey_);
        ApplyNextWallpaperHotKey();
    }

    if (save) {
        RECT bounds = MainWindowBounds();
        f.WriteInteger("Positions", "MainTop", bounds.top);
        f.WriteInteger("Positions", "MainLeft", bounds.left);
    } else if (loadPosition) {
        MoveMainWindow(f.ReadInteger("Positions", "MainLeft", -1),
                       f.ReadInteger("Positions", "MainTop", -1));
        ClampMainWindowPosition();
    }

    check("Confirmation", "ConfirmExit", c_.options.chkConfirmExit);
    check("Confirmation", "ConfirmDeleteDisk", c_.options.chkConfirmDeleteDisk);
    check("Confirmation", "ConfirmRemoveList", c_.options.chkAskBeforeRemoving);

    check("Slideshow", "AutoChange", c_.slideshow.chkAutoChange);
    spin("Slideshow", "SlideHrs", c_.slideshow.updHrs);
    spin("Slideshow", "SlideMins", c_.slideshow.updMins);
    spin("Slideshow", "SlideSecs", c_.slideshow.updSecs);
    if (!save && slides_) slides_->ApplySlideInterval();
    check("Slideshow", "Random", c_.slideshow.chkRandom);
    check("Slideshow", "ChangeOnStartup", c_.slideshow.chkChangeOnStartup);
    check("Slideshow", "PauseForFullScreen", c_.slideshow.chkPauseForFullScreen);
    check("Slideshow", "ShrinkToFit", c_.slideshow.chkShrinkToFit);

    check("AutoDetect", "Polling", c_.options.chkPollForChange);
    edit("AutoDetect", "Poll File Name", c_.options.edtPollFileName);
    spin("AutoDetect", "PollInterval", c_.options.updPollInterval);
    if (!save && polls_) polls_->ApplyPollSettings();
    check("AutoDetect", "PromptForName", c_.options.chkPromptNameForNewWP);
}

void TSettings::SaveSettings(const void*) {
    struct InProgress {
        bool& flag;
        explicit InProgress(bool& f) : flag(f) { flag = true; }
        ~InProgress() { flag = false; }
    } inProgress(s_.flags.settingsInProgress);
    LoadSaveSettings(Direction::Save);
}

void TSettings::GenericSettingsChange(const void* sender) {
    if (settingsTransfer_) return;
    s_.inputTimeout.Schedule(sender, [this](const void* s) { SaveSettings(s); });
}

void TSettings::StartupSettingsChange(const void* sender) {
    if (settingsTransfer_) return;
    s_.inputTimeout.Schedule(sender, [this](const void*) { SyncStartupShortcut(); });
}

void TSettings::HotKeySettingsChange(const void* sender) {
    if (settingsTransfer_) return;
    // The control passes through the modifiers alone while the user presses
    // the keys: it is taken up once the keys have rested.
    s_.inputTimeout.Schedule(sender, [this](const void* s) { SaveSettings(s); });
}

void TSettings::ApplyNextWallpaperHotKey() {
    if (!hotKey_) {
        chosenHotKey_ = c_.options.NextWallpaperHotKey();
        return;
    }
    const HotKey shown = c_.options.NextWallpaperHotKey();
    if (shown != chosenHotKey_) {
        // The user pressed another key: it becomes the choice once it is in force.
        if (hotKey_->Apply(shown) == shown) {
            chosenHotKey_ = shown;
            hotKeyRefusalTold_ = false;
            return;
        }
        c_.options.SetNextWallpaperHotKey(chosenHotKey_);
    }
    if (hotKey_->InForce() != chosenHotKey_) {
        hotKeyRefusalTold_ = hotKey_->Apply(chosenHotKey_, !hotKeyRefusalTold_) != chosenHotKey_;
    }
}

void TSettings::SyncStartupShortcut() {
    s_.startupShortcut.SyncStartupShortcut(Checked(c_.options.chkStartWithWindows));
}

int TSettings::PreviewPanelHeight() const {
    return previewPanel_ ? previewPanel_->PreviewPanelHeight() : previewHeight_;
}

void TSettings::SetPreviewPanelHeight(int height) {
    previewHeight_ = height;
    if (previewPanel_) previewPanel_->SetPreviewPanelHeight(height);
}

RECT TSettings::MainWindowBounds() const {
    RECT r{};
    ::GetWindowRect(s_.ui.MainWindow(), &r);
    return r;
}

void TSettings::MoveMainWindow(int left, int top) {
    ::SetWindowPos(s_.ui.MainWindow(), nullptr, left, top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TSettings::ClampMainWindowPosition() {
    RECT r = MainWindowBounds();
    POINT at = ClampWindowPosition(r.left, r.top, r.right - r.left, r.bottom - r.top,
                                   ::GetSystemMetrics(SM_CXSCREEN),
                                   ::GetSystemMetrics(SM_CYSCREEN));
    MoveMainWindow(at.x, at.y);
}

bool TSettings::PromptForName() const { return Checked(c_.options.chkPromptNameForNewWP); }

bool TSettings::ConfirmAdditions() const { return Checked(c_.design.chkConfirmAdditions); }

std::vector<std::string> TSettings::RenameFileNames() const {
    return ListBoxItems(c_.design.lbxNORenames);
}

std::string TSettings::PollFileName() const { return ControlText(c_.options.edtPollFileName); }

bool TSettings::PollingChecked() const { return Checked(c_.options.chkPollForChange); }

int TSettings::PollIntervalPosition() const { return SpinPosition(c_.options.updPollInterval); }

std::vector<std::string> TSettings::FixedPollNames() const {
    return ListBoxItems(c_.design.lbxNOPollFiles);
}

bool TSettings::TinkleOnDetection() const { return Checked(c_.design.chkTinkle); }

std::string TSettings::ReadLastWallpaper() const {
    return file_.ReadString("Slideshow", "LastWallpaper", "");
}

void TSettings::WriteLastWallpaper(const std::string& path) const {
    file_.WriteString("Slideshow", "LastWallpaper", path);
}

std::string TSettings::RenditionSource() const {
    return file_.ReadString("Slideshow", "WallpaperSource", "");
}

void TSettings::SetRenditionSource(const std::string& path) {
    // The wallpaper goes on: this run still knows the source.
    try {
        file_.WriteString("Slideshow", "WallpaperSource", path);
    } catch (const SettingsWriteError& e) {
        s_.ui.Trace(e.what());
    }
}

}  // namespace pictavo
