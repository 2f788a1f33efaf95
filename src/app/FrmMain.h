#pragma once
// The main window: owner of the inventory, the settings held in its controls,
// the timers and the deferred-action component; it routes window messages to
// the subsystems and runs start-up and every way the program ends.
#include <functional>
#include <memory>
#include <string>

#include "platform/InputTimeout.h"
#include "app/Settings.h"
#include "app/SettingsPages.h"
#include "desktop/DesktopWallpaper.h"
#include "detect/WallpaperDetector.h"
#include "inventory/AddProgress.h"
#include "inventory/FrmItemInfo.h"
#include "inventory/OpenImportDialog.h"
#include "inventory/PictureAdder.h"
#include "inventory/PreviewPage.h"
#include "shell/FrmTray.h"
#include "slideshow/SlideShow.h"
#include "inventory/InventoryStore.h"
#include "platform/Prompts.h"
#include "platform/Timer.h"
#include "platform/UserInterface.h"
#include "platform/Window.h"

namespace pictavo {

class TApplication;
class TFrmStartup;

class TFrmMain : public Window,
                 public IUserInterface,
                 private IInventoryHost,
                 private ISettingsHost,
                 private IDesktopHost,
                 private ISlideShowHost,
                 private ITrayHost,
                 private IDetectionHost {
public:
    struct Services {
        TApplication& application;
        TFrmTray& tray;
        IPrompts& prompts;
        ITimerFactory& timers;
        IWallpaperSystem& wallpaper;
        std::string commandLineArgument;  // the first argument, or empty
    };

    explicit TFrmMain(Services services);
    ~TFrmMain() override;

    // Window messages registered by name.
    UINT msgMyWindowMessageHandle = 0;
    UINT msgPrivateShutdown = 0;

    bool booCloseFromMenu = false;
    bool booCloseWindows = false;

    TInputTimeout InputTimeout1;
    TInventoryStore Inventory;

    // Operations other windows call.
    void mnuClose1Click() override;
    void ShowPictavo1Click() override;
    void btnOKClick(const void* sender);
    void CloseProcessing();
    void Close();

    TSettingsPages& Pages() { return *pages_; }
    ProgramFlags& Flags() { return flags_; }
    HWND MainWindow() const override { return Handle(); }
    TSettings& Settings() { return *settings_; }
    TDesktopWallpaper& Desktop() { return *desktop_; }
    TSlideShow& SlideShow() { return *slideShow_; }
    TPictureAdder& Adder() { return *adder_; }
    TWallpaperDetector& Detector() { return *detector_; }
    TfrmItemInfo& frmItemInfo() { return *frmItemInfo_; }
    void RunSlideshow1Click() override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Controls, with the designed names.
    HWND pgMain = nullptr;
    // What the "&Preview" page reads and reaches; it is made once the adding exists.
    std::unique_ptr<IPreviewHost> previewHost_;
    std::unique_ptr<IPictureCommands> pictureCommands_;
    std::unique_ptr<TPreviewPage> tsPreview;
    std::unique_ptr<TPanel> tsSlideshow, tsOptions, tsOnline;
    RECT pageArea_{};
    HWND lblHints = nullptr;
    HWND pbrProgress = nullptr;
    HWND btnHelp = nullptr;
    HWND btnOK = nullptr;
    std::unique_ptr<TSettingsPages> pages_;
    std::unique_ptr<TSettings> settings_;
    std::unique_ptr<TDesktopWallpaper> desktop_;
    std::unique_ptr<TSlideShow> slideShow_;
    // The "Add Wallpaper" dialog, made once and reused; adding and detection.
    std::unique_ptr<TfrmItemInfo> frmItemInfo_;
    std::unique_ptr<TOpenImportDialog> dlgOpenImport_;
    std::unique_ptr<TAddProgress> addProgress_;
    std::unique_ptr<TPictureAdder> adder_;
    std::unique_ptr<TWallpaperDetector> detector_;

    void CreateControls();
    void ShowPage(int index);

    // Life of the window.
    void FormCreate();
    void FormCreateCleanup();
    void FormCloseQuery(bool& canClose);
    void FormClose();
    void FormDestroy();
    void FormHide();
    // A missing help file is not offered to the help program, which would
    // hold start-up behind its own error box.
    void OpenHelp(UINT command, ULONG_PTR data);
    bool WMQueryEndSession(UINT message);
    // Runs one step of an exit (or of OK): a settings write that fails is told
    // once per run of steps, any other error goes to the program-wide handler,
    // and the caller goes on with its next step either way.
    void RunExitStep(bool& writeFailureReported, const std::function<void()>& step);
    void HandleAppException(const std::string& message);
    void ShowStartupForm(const std::string& text);
    void CloseStartupForm();
    void Trace(const std::string& text) override;
    void ShowError(const std::string& message) override;
    void ShowHint(const std::string& text) override;
    void ProcessMessages() override;

    void EnsureDataDirectory(const std::string& directory);

    void ShowClickToPreview() {
        if (tsPreview) tsPreview->ShowClickToPreview();
    }
    void RefreshInventoryColumns() {
        if (tsPreview) tsPreview->RefreshInventoryColumns();
    }

    // IInventoryHost
    void ScheduleInventorySave() override;
    void FlushDeferredActions() override { InputTimeout1.Flush(); }
    bool LimitImageSize() const override;
    int MaxImageSize() const override;
    void RefreshPreview() override {
        if (tsPreview) tsPreview->RefreshPreview(false);
    }
    void InventoryChanged() override {
        if (tsPreview) tsPreview->SyncList();
    }

    // ISettingsHost
    void SetSettingsInProgress(bool inProgress) override { flags_.settingsInProgress = inProgress; }
    RECT MainWindowBounds() const override;
    void MoveMainWindow(int left, int top) override;
    void ApplySlideInterval() override { slideShow_->ApplySlideInterval(); }
    void ApplyPollSettings() override { detector_->ApplyPollSettings(); }
    void SyncStartupShortcut() override;
    void RecomputeTooBig() override {
        if (tsPreview) tsPreview->RecomputeTooBig();
    }
    // The page reads the setting each time a hint shows.
    void SetToolbarHints(bool) override {}
    void chkAutoChangeClick() override { slideShow_->chkAutoChangeClick(); }
    void GenericSlideTimerChange(HWND sender) override {
        slideShow_->GenericSlideTimerChange(sender);
    }
    void chkPollForChangeClick() override { detector_->chkPollForChangeClick(); }
    void edtPollFileNameChange() override { detector_->edtPollFileNameChange(); }
    void btnSelectEditorClick() override {}

    // IDesktopHost
    void SetCaptions(const std::string& text) override;
    bool SendChangeNotification() const override;
    bool SyncWithManualChange() const override;
    void UncheckAutoChange() override;
    void RestartSlideCountdown() override { slideShow_->RestartSlideCountdown(); }
    void ShowNextSlide() override { slideShow_->ShowNextSlide(); }
    void ScheduleInventorySave(const void* sender) override;
    std::string LastCapturedSource() const override {
        return detector_ ? detector_->LastCapturedSource() : std::string();
    }
    std::string LastCapturedDestination() const override {
        return detector_ ? detector_->LastCapturedDestination() : std::string();
    }

    // IDetectionHost (RestartSlideCountdown above serves both)
    bool ExitUnderway() const override { return booCloseFromMenu || booCloseWindows || closing_; }

    // ISlideShowHost
    bool SettingsInProgress() const override { return flags_.settingsInProgress; }
    bool IntervalEditing() const override { return settings_->IntervalEditing(); }
    void SetIntervalEditing(bool editing) override { settings_->SetIntervalEditing(editing); }
    bool SettingsTransfer() const override { return settings_->SettingsTransfer(); }
    void SaveSettings() override { settings_->SaveSettings(); }
    bool RunSlideshowChecked() const override;
    void SetRunSlideshowChecked(bool checked) override;
    void ShowMessage(const std::string& text) override { ShowError(text); }

    // ITrayHost
    void tmrSlideTimer() override { slideShow_->tmrSlideTimer(); }
    void tbnNoneClick() override { desktop_->tbnNoneClick(); }
    void DisableThisWallpaperImage1Click(const void* sender) override {
        desktop_->DisableThisWallpaperImage1Click(sender);
    }
    void mnuToggleTiledClick(const void* sender) override {
        desktop_->mnuToggleTiledClick(sender);
    }
    void mnuContents1Click() override;
    void About1Click() override;
    void mnuSetWallpaperfromClipboardClick() override {}
    std::string SlideIntervalText() const override { return slideShow_->SlideIntervalText(); }

    Services services_;
    std::unique_ptr<TFrmStartup> startupForm_;
    std::string baseTitle_;
    std::string formerDataDirectory_;
    bool firstRun_ = false;
    bool closing_ = false;  // CloseProcessing has begun
    ProgramFlags flags_;
    int listWidth_ = 0;
};

}  // namespace pictavo
