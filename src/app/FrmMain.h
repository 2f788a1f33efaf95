#pragma once
// The main window: owner of the inventory, the settings held in its controls,
// the timers and the deferred-action component; it routes window messages to
// the subsystems and runs start-up and every way the program ends.
#include <functional>
#include <memory>
#include <string>

#include "app/DesignOptions.h"
#include "app/OptionsPage.h"
#include "app/ActionSettings.h"
#include "app/Settings.h"
#include "app/SlideshowPage.h"
#include "desktop/ClipboardPaste.h"
#include "desktop/DesktopWallpaper.h"
#include "exchange/ListImporter.h"
#include "detect/WallpaperDetector.h"
#include "pictures/AddProgress.h"
#include "pictures/FrmItemInfo.h"
#include "inventory/InventoryStore.h"
#include "pictures/FrmConfirmation.h"
#include "pictures/OpenImportDialog.h"
#include "pictures/PictureActions.h"
#include "pictures/PictureAdder.h"
#include "preview/PreviewPage.h"
#include "platform/InputTimeout.h"
#include "shell/PictureEditor.h"
#include "shell/WebPages.h"
#include "platform/Prompts.h"
#include "platform/Timer.h"
#include "platform/UserInterface.h"
#include "platform/Window.h"
#include "shell/FrmTray.h"
#include "shell/HelpSystem.h"
#include "shell/NextWallpaperHotKey.h"
#include "slideshow/FullScreenProbe.h"
#include "slideshow/SlideShow.h"

namespace pictavo {

class TApplication;
class TFrmStartup;

class TFrmMain : public Window,
                 public IUserInterface,
                 private IWallpaperCaptions,
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
        TWebPages& webPages;
        IHelpViewer& helpViewer;
    };

    explicit TFrmMain(Services services);
    ~TFrmMain() override;

    // Window messages registered by name.
    UINT msgMyWindowMessageHandle = 0;
    UINT msgPrivateShutdown = 0;

    bool booCloseFromMenu = false;
    bool booCloseWindows = false;

    TInputTimeout InputTimeout1;

    // Operations other windows call.
    void mnuClose1Click() override;
    void ShowPictavo1Click() override;
    void btnOKClick(const void* sender);
    void CloseProcessing();
    void Close();

    TSlideshowPage& SlideshowPage() { return *tsSlideshow; }
    TOptionsPage& OptionsPage() { return *tsOptions; }
    TInventoryStore& Inventory() { return *inventory_; }
    ProgramFlags& Flags() { return flags_; }
    HWND MainWindow() const override { return Handle(); }
    TSettings& Settings() { return *settings_; }
    TDesktopWallpaper& Desktop() { return *desktop_; }
    TSlideShow& SlideShow() { return *slideShow_; }
    TPictureAdder& Adder() { return *adder_; }
    TWallpaperDetector& Detector() { return *detector_; }
    TfrmItemInfo& frmItemInfo() { return *frmItemInfo_; }
    // Remove, Delete, Move and Edit on the list's selected picture.
    TPictureActions& PictureActions() { return *pictureActions_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Controls, with the designed names.
    HWND pgMain = nullptr;
    std::unique_ptr<TPreviewPage> tsPreview;
    std::unique_ptr<TSlideshowPage> tsSlideshow;
    std::unique_ptr<TOptionsPage> tsOptions;
    std::unique_ptr<TPanel> tsOnline;
    RECT pageArea_{};
    std::unique_ptr<TDesignOptions> designOptions_;
    HWND lblHints = nullptr;
    HWND pbrProgress = nullptr;
    HWND btnHelp = nullptr;
    HWND btnOK = nullptr;
    std::unique_ptr<TInventoryStore> inventory_;
    std::unique_ptr<TStartupShortcut> startupShortcut_;
    std::unique_ptr<TSettings> settings_;
    std::unique_ptr<TDesktopWallpaper> desktop_;
    TSystemFullScreenProbe fullScreenProbe_;
    std::unique_ptr<TSlideShow> slideShow_;
    std::unique_ptr<TNextWallpaperHotKey> hotKey_;
    // The "Add Wallpaper" dialog, made once and reused; adding and detection.
    std::unique_ptr<TfrmItemInfo> frmItemInfo_;
    std::unique_ptr<TOpenImportDialog> dlgOpenImport_;
    std::unique_ptr<TAddProgress> addProgress_;
    std::unique_ptr<TPictureAdder> adder_;
    std::unique_ptr<IPreviewHost> previewSettings_;
    std::unique_ptr<TWallpaperDetector> detector_;
    std::unique_ptr<TConfirmationDialogs> confirmation_;
    std::unique_ptr<TActionSettings> actionSettings_;
    std::unique_ptr<TPictureEditor> editor_;
    std::unique_ptr<TPictureActions> pictureActions_;
    std::unique_ptr<TClipboardPaste> clipboard_;
    std::unique_ptr<TListImporter> importer_;

    void CreateControls();
    void ShowPage(int index);

    // Life of the window.
    void FormCreate();
    void FormCreateCleanup();
    void FormCloseQuery(bool& canClose);
    void FormClose();
    void FormDestroy();
    void FormHide();
    // F1 (WM_HELP): the topic of the page on show, or of the window.
    void FormHelp();
    // A missing help file is told here rather than by the help program,
    // whose own error box would hold the program.
    bool HelpFileFound();
    bool WMQueryEndSession(UINT message);
    // Runs one step of an exit (or of OK): a settings write that fails is told
    // once per run of steps, any other error goes to the program-wide handler,
    // and the caller goes on with its next step either way.
    void RunExitStep(bool& writeFailureReported, const std::function<void()>& step);
    void HandleAppException(const std::string& message);
    // An error whose text is meant for the user as it stands.
    void HandleAppNotice(const std::string& message);
    // The end comes on another's behalf: no box may wait for an answer.
    void EndUnattended();
    // Frees the window once the message being handled is done.
    void Release();
    void ShowStartupForm(const std::string& text);
    void CloseStartupForm();
    void Trace(const std::string& text) override;
    void ShowError(const std::string& message) override;
    void ShowHint(const std::string& text) override;
    void ProcessMessages() override;

    void EnsureDataDirectory(const std::string& directory);

    // Steps of start-up and shutdown whose work belongs to subsystems still to come.
    void ShowClickToPreview() {
        if (tsPreview) tsPreview->ShowClickToPreview();
    }
    void RefreshInventoryColumns() {
        if (tsPreview) tsPreview->RefreshInventoryColumns();
    }

    // IWallpaperCaptions
    void SetCaptions(const std::string& text) override;

    // IDetectionHost
    bool ExitUnderway() const override { return booCloseFromMenu || booCloseWindows || closing_; }

    // ITrayHost
    void mnuContents1Click() override;
    void About1Click() override;

    Services services_;
    // Every box of the program goes through here.
    TAttendedPrompts prompts_;
    THelpSystem help_;
    std::unique_ptr<TFrmStartup> startupForm_;
    std::string baseTitle_;
    std::string formerDataDirectory_;
    bool firstRun_ = false;
    bool closing_ = false;  // CloseProcessing has begun
    bool exitUnderway_ = false;  // the window is closing for good
    bool shutdownPending_ = false;  // asked to end while starting
    ProgramFlags flags_;
    int listWidth_ = 0;
};

}  // namespace pictavo
