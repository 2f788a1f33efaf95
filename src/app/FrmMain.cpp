#include "app/FrmMain.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <ctime>
#include <functional>

#include "app/Application.h"
#include "app/FormScaling.h"
#include "app/FrmAbout.h"
#include "app/FrmSplash.h"
#include "app/FrmStartup.h"
#include "exchange/FrmExport.h"
#include "platform/Controls.h"
#include "platform/Files.h"
#include "platform/FlagScope.h"
#include "platform/Guard.h"
#include "platform/Trace.h"
#include "resource.h"
#include "shell/FrmTray.h"
#include "shell/OnlinePage.h"
#include "shell/StartupShortcut.h"
#include "slideshow/SlideInterval.h"

namespace pictavo {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 402;
constexpr int kClientHeight = 443;
constexpr UINT WM_RELEASE = WM_APP + 1;  // frees the window once its close has been handled
constexpr UINT_PTR kReleaseTimer = 1;      // the same, should the message be lost
constexpr UINT kReleaseRetry = 250;

enum ControlId {
    idPages = 100,
    idHelp,
};

// What the "&Preview" page reads from the settings controls, and what it
// reaches beyond the list: the next slide and the Export Manager.
class TPreviewSettings final : public IPreviewHost {
public:
    TPreviewSettings(TSlideshowPage& slideshow, TOptionsPage& options, ISlideControl& slides,
                     std::function<void()> openExportManager)
        : slideshow_(slideshow),
          options_(options),
          slides_(slides),
          openExportManager_(std::move(openExportManager)) {}
    bool LimitPreviewSize() const override { return Checked(slideshow_.chkLimitPreviewSize); }
    int MaxPreviewSize() const override { return SpinPosition(slideshow_.updPreviewSize); }
    bool ToolbarHints() const override { return Checked(options_.chkToolbarHints); }
    void ShowNextSlide() override { slides_.ShowNextSlide(); }
    void OpenExportManager() override { openExportManager_(); }

private:
    TSlideshowPage& slideshow_;
    TOptionsPage& options_;
    ISlideControl& slides_;
    std::function<void()> openExportManager_;
};

constexpr const char* kPageNames[] = {"&Preview", "&Slideshow", "O&ptions", "&Online"};
constexpr DWORD kPageHelpContexts[] = {hcPreviewPage, hcSlideshowPage, hcOptionsPage, hcOnlinePage};

}  // namespace

TFrmMain::TFrmMain(Services services)
    : InputTimeout1(services.timers, 2250),
      services_(std::move(services)),
      prompts_(services_.prompts, [this](const std::string& text) { Trace(text); }),
      help_(services_.helpViewer) {
    // A new main window is a new run: someone may be there to answer again.
    AllowModalLoops();
    // The same number the program entry registered: a second copy broadcasts it.
    msgMyWindowMessageHandle = ::RegisterWindowMessageA("RestorePictavo");
    SIZE size = WindowSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle);
    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PICTAVO));
    Create("TFrmMain", kExStyle, kStyle, "Pictavo", 0, 0, size.cx, size.cy, nullptr, icon);
    CreateControls();
    inventory_ = std::make_unique<TInventoryStore>(InputTimeout1, *this, *tsSlideshow);
    startupShortcut_ = std::make_unique<TStartupShortcut>(*this);
    frmItemInfo_ = std::make_unique<TfrmItemInfo>(Handle());
    AdjustFormScaling(frmItemInfo_->Handle(), TfrmItemInfo::kFontHeight);
    dlgOpenImport_ = std::make_unique<TOpenImportDialog>(prompts_);
    addProgress_ = std::make_unique<TAddProgress>(pbrProgress, lblHints);
    desktop_ =
        std::make_unique<TDesktopWallpaper>(services_.wallpaper, *inventory_, *this, *tsSlideshow,
                                            static_cast<IWallpaperCaptions&>(*this), "Pictavo");
    services_.application.MainForm = Handle();
    FormCreate();
}

TFrmMain::~TFrmMain() {
    // The loop may have ended without the window being closed (error 101):
    // its destruction steps, the last flush among them, still run.
    if (Handle()) ::DestroyWindow(Handle());
    SetExceptionHandler(nullptr);
    SetNoticeHandler(nullptr);
}

void TFrmMain::CreateControls() {
    HWND self = Handle();
    pgMain = CreateControl(self, WC_TABCONTROLA, "", WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 4,
                           4, 394, 400, idPages);
    for (int i = 0; i < 4; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kPageNames[i]);
        ::SendMessageA(pgMain, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    RECT area{4, 4, 398, 404};
    ::SendMessageA(pgMain, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    designOptions_ = std::make_unique<TDesignOptions>(self);
    pageArea_ = area;  // the "&Preview" page is made once what it reaches exists
    tsSlideshow = std::make_unique<TSlideshowPage>(self, area, *designOptions_);
    tsOptions = std::make_unique<TOptionsPage>(self, area);
    tsOnline = std::make_unique<TOnlinePage>(self, area, services_.webPages);

    lblHints = CreateControl(self, "STATIC", "", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE,
                             8, 414, 220, 20);
    pbrProgress = CreateControl(self, PROGRESS_CLASSA, "", 0, 8, 414, 220, 18);
    btnHelp = CreateControl(self, "BUTTON", "Help", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 240,
                            411, 75, 25, idHelp);
    btnOK = CreateControl(self, "BUTTON", "&OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 321,
                          411, 75, 25, IDOK);
}

void TFrmMain::ShowPage(int index) {
    Window* pages[] = {tsPreview.get(), tsSlideshow.get(), tsOptions.get(), tsOnline.get()};
    ::SendMessageA(pgMain, TCM_SETCURSEL, index, 0);
    for (int i = 0; i < 4; ++i) {
        if (!pages[i]) continue;
        // Above the tab control, which would otherwise paint its body over the page.
        ::SetWindowPos(pages[i]->Handle(), HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                           (i == index ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
    if (index == 0 && tsPreview) tsPreview->ListShown();
    ::SetWindowContextHelpId(Handle(), kPageHelpContexts[index]);
}

void TFrmMain::Trace(const std::string& text) { SendTrace(text, Handle()); }

// ---------------------------------------------------------------------------
// Start-up

void TFrmMain::FormCreate() {
    Trace("FormCreate");
    SetExceptionHandler([this](const std::string& message) { HandleAppException(message); });
    SetNoticeHandler([this](const std::string& message) { HandleAppNotice(message); });
    msgPrivateShutdown = ::RegisterWindowMessageA("ShutdownPictavo");
    flags_.startingUp = true;
    booCloseFromMenu = false;
    booCloseWindows = false;

    ::SetWindowTextA(lblHints, "");
    baseTitle_ = WindowText(Handle());
    std::srand(static_cast<unsigned>(std::time(nullptr)) ^ ::GetTickCount());
    AdjustFormScaling(Handle(), kDesignFontHeight);

    flags_.settingsInProgress = true;
    flags_.detectionBusy = false;

    const std::string exePath = ExePath();
    settings_ = std::make_unique<TSettings>(
        ChangeFileExt(exePath, ".INI"), ExtractFileDir(exePath),
        TSettings::Controls{*tsSlideshow, *tsOptions, *designOptions_},
        TSettings::Services{InputTimeout1, *this, flags_, *startupShortcut_});
    // The slideshow stands on the wallpaper and detection on both: each is
    // made after what it stands on. The wallpaper, the tray menu, the settings
    // and their pages are given them once they exist.
    slideShow_ = std::make_unique<TSlideShow>(
        TSlideShow::Services{*tsSlideshow, *settings_, *inventory_, *desktop_, InputTimeout1,
                             services_.timers, *this, flags_, services_.tray, fullScreenProbe_});
    desktop_->AttachSlideControl(*slideShow_);
    hotKey_ = std::make_unique<TNextWallpaperHotKey>(Handle(), *this, *slideShow_);
    settings_->AttachHotKey(*hotKey_);
    adder_ = std::make_unique<TPictureAdder>(
        TPictureAdder::Services{*inventory_, *this, flags_, prompts_, *frmItemInfo_,
                                *dlgOpenImport_, *settings_, *addProgress_});
    detector_ = std::make_unique<TWallpaperDetector>(TWallpaperDetector::Services{
        *inventory_, *desktop_, *adder_, *this, flags_, InputTimeout1, services_.timers, *settings_,
        *slideShow_, static_cast<IDetectionHost&>(*this), WindowsDirectory()});
    desktop_->AttachCaptureHistory(*detector_);
    desktop_->AttachRenditionRecord(*settings_);
    settings_->Attach(*slideShow_, *detector_);
    tsSlideshow->Attach({*settings_, *slideShow_, *detector_});
    confirmation_ = std::make_unique<TConfirmationDialogs>(
        [](HWND form) { AdjustFormScaling(form, TfrmConfirmation::kFontHeight); });
    actionSettings_ = std::make_unique<TActionSettings>(*tsOptions);
    editor_ = std::make_unique<TPictureEditor>(*this, *actionSettings_, WindowsDirectory());
    pictureActions_ = std::make_unique<TPictureActions>(TPictureActions::Services{
        *inventory_, *this, *confirmation_, *adder_, *desktop_, *editor_, *actionSettings_});
    clipboard_ = std::make_unique<TClipboardPaste>(
        TClipboardPaste::Services{*adder_, *inventory_, *desktop_, flags_, *this});
    importer_ = std::make_unique<TListImporter>(
        TListImporter::Services{*inventory_, *adder_, *this, flags_, *addProgress_});
    services_.tray.Attach({*this, *slideShow_, *desktop_, *clipboard_});
    tsOptions->Attach({*settings_, *detector_, editor_.get()});
    previewSettings_ = std::make_unique<TPreviewSettings>(
        *tsSlideshow, *tsOptions, *slideShow_,
        [this] {
            if (!inventory_->Open()) return;
            ShowExportManager(Handle(), settings_->DataDirectory(),
                              TFrmExport::Services{*inventory_, prompts_});
        });
    tsPreview = std::make_unique<TPreviewPage>(
        Handle(), pageArea_,
        TPreviewPage::Services{*inventory_, *this, *desktop_, *adder_, *previewSettings_,
                               *pictureActions_, flags_, prompts_});
    inventory_->AttachPreview(tsPreview.get());
    settings_->AttachPreviewPanel(*tsPreview);
    help_.SetHelpFile(ChangeFileExt(exePath, ".chm"));
    ::SetWindowContextHelpId(Handle(), hcMainWindow);
    // A program that has never saved its settings here has never run here.
    firstRun_ = !settings_->File().HoldsSavedSettings();

    ::DragAcceptFiles(Handle(), TRUE);
    listWidth_ = 0;  // measured from the inventory list once it exists

    struct Cleanup {
        TFrmMain& form;
        ~Cleanup() { form.FormCreateCleanup(); }
    } cleanup{*this};
    try {
        ShowPage(0);
        settings_->LoadSaveSettings(TSettings::Direction::Load);
        detector_->BuildPollFileList();

        try {
            inventory_->CreateTable();
        } catch (const std::exception&) {
            ShowError("Error 101: Unable to open database.  Closing application.");
            services_.application.Terminate();
            services_.application.ProcessMessages();
            return;
        }

        // The data directory is always the one beside the program; a different
        // stored one means the pictures there moved with the program.
        const std::string& defaultDataDirectory = settings_->DefaultDataDirectory();
        if (settings_->DataDirectory() != LowerCase(defaultDataDirectory)) {
            formerDataDirectory_ = settings_->DataDirectory();
        }
        // As written: the stored one is lower case, which under a double-byte
        // code page can name another folder.
        settings_->SetDataDirectory(defaultDataDirectory);
        const std::string dataDirectory = settings_->DataDirectory();
        inventory_->SetTableFile(dataDirectory, settings_->TableFileName());

        flags_.previewSuspended = true;
        try {
            EnsureDataDirectory(dataDirectory);
            if (!formerDataDirectory_.empty()) inventory_->RelocateRecords(formerDataDirectory_);
        } catch (...) {
            flags_.previewSuspended = false;
            throw;
        }
        flags_.previewSuspended = false;

        inventory_->MakeClones();
        RefreshInventoryColumns();
        // The first picture is named, not loaded: start-up reads no picture
        // file, and a record whose file is gone stays until the user meets it.
        ShowClickToPreview();

        if (firstRun_) {
            Trace("FrmMain.FormCreate: First Run");
            ::SetForegroundWindow(Handle());
            prompts_.Message(Handle(), "Slideshow will change your wallpaper every " +
                                           SlideIntervalWords(SpinPosition(tsSlideshow->updHrs),
                                                              SpinPosition(tsSlideshow->updMins),
                                                              SpinPosition(tsSlideshow->updSecs)) +
                                           ".\rYou can change this interval on the Slideshow page.");
            detector_->ScanFoldersForBitmaps({detector_->WindowsDir()});
            // Without a help file the user is told once, and start-up goes on.
            if (HelpFileFound()) {
                help_.ShowContents(Handle());
                help_.ShowContext(Handle(), hcFirstRun);
            }
        }

        settings_->SyncStartupShortcut();
        if (!desktop_->LocateCurrentWallpaper()) {
            inventory_->SelectInList(settings_->ReadLastWallpaper());
        }
        inventory_->SyncSlideShowCursor();
    } catch (const NoticeError& e) {
        HandleAppNotice(e.what());
    } catch (const std::exception& e) {
        HandleAppException(e.what());
    }
}

void TFrmMain::FormCreateCleanup() {
    if (services_.application.Terminated()) return;
    Guarded([this] {
        struct Finally {
            TFrmMain& form;
            ~Finally() {
                form.RefreshInventoryColumns();
                form.services_.tray.TrayIcon1->SetCanShowMenu(true);
                if (form.services_.commandLineArgument == ":" && !form.shutdownPending_) {
                    ::ShowWindow(form.Handle(), SW_SHOW);
                    ::SetForegroundWindow(form.Handle());
                }
            }
        } finally{*this};
        flags_.settingsInProgress = false;
        if (shutdownPending_) return;
        if (Checked(tsSlideshow->chkChangeOnStartup)) {
            EndSplash();
            slideShow_->ShowNextSlide();
            desktop_->LocateCurrentWallpaper();
        }
    });
    flags_.startingUp = false;
    // Asked to end while starting: the window was left whole until now.
    if (shutdownPending_) Close();
}

// ---------------------------------------------------------------------------
// The data directory

void TFrmMain::EnsureDataDirectory(const std::string& directory) {
    if (!::SetCurrentDirectoryA(directory.c_str())) {
        if (!::CreateDirectoryA(directory.c_str(), nullptr)) {
            ShowError("Error: Unable to create data directory (" + directory + ").");
            return;
        }
        if (!::SetCurrentDirectoryA(directory.c_str())) {
            ShowError("Error: Unable to make data directory current (" + directory + ").");
            return;
        }
    }
    inventory_->LoadInventory();
}

// ---------------------------------------------------------------------------
// Closing

void TFrmMain::Close() {
    // A second request while the first one's work lets messages run.
    if (exitUnderway_) return;
    bool canClose = true;
    FormCloseQuery(canClose);
    // The exit question lets messages run: a shutdown answered meanwhile has
    // already closed the window.
    if (!canClose || exitUnderway_) return;
    exitUnderway_ = true;
    FormClose();
    Release();
}

void TFrmMain::Release() {
    ::PostMessageA(Handle(), WM_RELEASE, 0, 0);
    // A dialog ended from a sent message (the shutdown broadcast) drops the
    // next message its loop fetches; the timer comes again until the window goes.
    ::SetTimer(Handle(), kReleaseTimer, kReleaseRetry, nullptr);
}

void TFrmMain::EndUnattended() {
    booCloseWindows = true;
    prompts_.SetUnattended(true);
    // A box or dialog open now would never be answered.
    EndModalLoops();
}

void TFrmMain::FormCloseQuery(bool& canClose) {
    if (booCloseFromMenu) {
        Trace("FrmMain: FormCloseQuery - booCloseFromMenu");
        struct Clear {
            bool& flag;
            ~Clear() { flag = false; }
        } clear{booCloseFromMenu};
        canClose = !Checked(tsOptions->chkConfirmExit) ||
                   prompts_.Confirm(
                       Handle(),
                       "Exiting Pictavo will disable Slideshow and Wallpaper Detection.\rExit Now?",
                       MB_YESNOCANCEL) ||
                   booCloseWindows;  // the session or another program ended it meanwhile
    } else if (booCloseWindows) {
        Trace("FrmMain: FormCloseQuery - booCloseWindows");
        canClose = true;
    } else {
        Trace("FrmMain: FormCloseQuery - else");
        canClose = false;
        btnOKClick(btnOK);
    }
}

void TFrmMain::btnOKClick(const void* sender) {
    FlagScope inProgress(flags_.settingsInProgress);
    // A settings file that refuses the write is reported; the list is still
    // saved and the window still goes.
    bool reported = false;
    RunExitStep(reported, [this] { settings_->LoadSaveSettings(TSettings::Direction::Save); });
    inventory_->ScheduleSave(sender);
    RunExitStep(reported, [this] { InputTimeout1.Flush(); });
    ::ShowWindow(Handle(), SW_HIDE);
    ShowClickToPreview();
}

void TFrmMain::RunExitStep(bool& writeFailureReported, const std::function<void()>& step) {
    try {
        step();
    } catch (const SettingsWriteError& e) {
        Trace(e.what());
        if (!writeFailureReported && !prompts_.Unattended()) {
            writeFailureReported = true;
            ShowError(e.what());
        }
    } catch (const std::exception& e) {
        HandleAppException(e.what());
    }
}

void TFrmMain::FormClose() {
    Trace("FrmMain: FormClose");
    CloseProcessing();
}

void TFrmMain::CloseProcessing() {
    Trace("FrmMain: CloseProcessing Begun");
    struct Done {
        TFrmMain& form;
        ~Done() {
            form.Trace("FrmMain: CloseProcessing Done");
            form.CloseStartupForm();
        }
    } done{*this};
    closing_ = true;
    ShowStartupForm("Shutting Down Pictavo");
    // Each step runs whatever the one before met: a settings file that cannot
    // be written must not keep the wallpaper from being kept, nor the program
    // from ending. Its failure is told once.
    bool reported = false;
    RunExitStep(reported, [this] { InputTimeout1.Flush(); });
    // A save that failed before, with no change since, is not pending: its
    // changes are written here all the same.
    RunExitStep(reported, [this] { inventory_->SaveUnsavedChanges(); });
    RunExitStep(reported, [this] { services_.application.ProcessMessages(); });
    TDesktopWallpaper::Wallpaper current;
    RunExitStep(reported, [&] { current = desktop_->GetCurrentWallpaper(true); });
    RunExitStep(reported, [&] { settings_->WriteLastWallpaper(current.path); });
    RunExitStep(reported, [&] { desktop_->ApplyWallpaper(current.path, current.tile, true); });
}

bool TFrmMain::WMQueryEndSession(UINT message) {
    Trace("TFrmMain.WMQueryEndSession  " + std::to_string(message));
    EndUnattended();
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose) CloseProcessing();
    return canClose;
}

void TFrmMain::FormDestroy() {
    // The last save still pending runs while the controls it reads still
    // exist; nothing scheduled later could find them.
    bool reported = false;
    RunExitStep(reported, [this] { InputTimeout1.Close(); });
    RunExitStep(reported, [this] { inventory_->SaveUnsavedChanges(); });
    if (hotKey_) hotKey_->Release();
    if (services_.tray.DesktopIconsHidden()) ShowDesktopIcons(true);
    help_.Quit();
    RunExitStep(reported, [this] { desktop_->DeleteRenditionUnlessShown(); });
    ::DragAcceptFiles(Handle(), FALSE);
    Trace("FormDestroy");
}

void TFrmMain::FormHide() { HideSplash(); }

void TFrmMain::mnuClose1Click() {
    Trace("FrmMain: mnuClose1Click");
    booCloseFromMenu = true;
    Close();
}

void TFrmMain::ShowPictavo1Click() {
    if (!Visible()) ShowPage(0);
    ::ShowWindow(Handle(), SW_SHOW);
    if (::IsIconic(Handle())) ::ShowWindow(Handle(), SW_RESTORE);
}

void TFrmMain::ShowStartupForm(const std::string& text) {
    startupForm_ = std::make_unique<TFrmStartup>();
    ::SetWindowTextA(startupForm_->lblMessage, text.c_str());
    ::ShowWindow(startupForm_->Handle(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(startupForm_->Handle());
}

void TFrmMain::CloseStartupForm() { startupForm_.reset(); }

void TFrmMain::HandleAppException(const std::string& message) {
    const std::string text = "Exception: " + message;
    Trace(text);
    if (!prompts_.Unattended()) prompts_.Message(Handle(), text);
}

void TFrmMain::HandleAppNotice(const std::string& message) {
    Trace(message);
    if (!prompts_.Unattended()) ShowError(message);
}

// ---------------------------------------------------------------------------
// The program's face

void TFrmMain::ShowError(const std::string& message) {
    // With no one to answer, the message goes to the trace alone.
    if (prompts_.Unattended()) {
        Trace(message);
        return;
    }
    ::SetForegroundWindow(Handle());
    prompts_.Message(Handle(), message);
}

void TFrmMain::ShowHint(const std::string& text) { ::SetWindowTextA(lblHints, text.c_str()); }

void TFrmMain::ProcessMessages() { services_.application.ProcessMessages(); }

void TFrmMain::SetCaptions(const std::string& text) {
    ::SetWindowTextA(Handle(), text.c_str());
    services_.application.Title = text;
    services_.tray.TrayIcon1->SetHint(text);
}

void TFrmMain::mnuContents1Click() {
    if (HelpFileFound()) help_.ShowContents(Handle());
}

void TFrmMain::FormHelp() {
    // The page on show set the window's context number.
    if (HelpFileFound()) help_.ShowContext(Handle(), ::GetWindowContextHelpId(Handle()));
}

bool TFrmMain::HelpFileFound() {
    if (FileExists(help_.HelpFile())) return true;
    ShowError("Unable to find the help file " + help_.HelpFile() + ".");
    return false;
}

void TFrmMain::About1Click() { ShowAboutBox(Handle()); }

// ---------------------------------------------------------------------------
// Messages

LRESULT TFrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == msgMyWindowMessageHandle && message != 0) {
        Trace("FrmMain.WndProc = msgMyWindowMessageHandle");
        ::ShowWindow(Handle(), SW_SHOW);
        if (::IsIconic(Handle())) ::ShowWindow(Handle(), SW_RESTORE);
        ::SetForegroundWindow(Handle());
        return 0;
    }
    if (message == msgPrivateShutdown && message != 0) {
        Trace("FrmMain.WndProc = msgPrivateShutdown");
        EndUnattended();
        // Start-up runs on in the window's creation: the close waits for its end.
        if (flags_.startingUp) {
            shutdownPending_ = true;
        } else {
            Close();
        }
        return 0;
    }
    switch (message) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_QUERYENDSESSION:
            return WMQueryEndSession(message) ? TRUE : FALSE;
        case WM_ENDSESSION:
            if (!wParam) {
                // The session goes on after all: closing the window hides it
                // again, and the user is there to answer boxes.
                booCloseWindows = closing_ = false;
                prompts_.SetUnattended(false);
                AllowModalLoops();
            } else if (flags_.startingUp) {
                shutdownPending_ = true;
            } else if (closing_ && !exitUnderway_) {
                // The shutdown work ran at the question; the window goes now
                // rather than leave the end of the process to the system.
                exitUnderway_ = true;
                Release();
            }
            return 0;
        case WM_DISPLAYCHANGE:
            if (slideShow_ && !closing_) Guarded([this] { slideShow_->DisplayChanged(); });
            return 0;
        case WM_SETTINGCHANGE:
            if (detector_) detector_->WMSettingChange(reinterpret_cast<const char*>(lParam));
            return 0;
        case WM_HOTKEY:
            if (hotKey_ && !exitUnderway_) hotKey_->WMHotKey(wParam);
            return 0;
        case WM_RELEASE:
            ::DestroyWindow(Handle());
            return 0;
        case WM_TIMER:
            if (wParam == kReleaseTimer) {
                ::DestroyWindow(Handle());
                return 0;
            }
            break;
        case WM_DESTROY:
            FormDestroy();
            services_.application.Terminate();
            return 0;
        case WM_SHOWWINDOW:
            if (!wParam) FormHide();
            // Sent before the window shows: the list is right when first drawn.
            if (wParam && tsPreview) tsPreview->ListShown();
            break;
        case WM_HELP:
            // F1 anywhere in the window: its controls hand the request up to here.
            FormHelp();
            return TRUE;
        case WM_DROPFILES:
            if (importer_) importer_->WMDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_SETFOCUS:
            // The list has the keyboard while the "&Preview" page shows, so its keys work.
            if (tsPreview && ::IsWindowVisible(tsPreview->Handle())) {
                ::SetFocus(tsPreview->dbgrdInventory);
                return 0;
            }
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (tsPreview && tsPreview->FormKeyDown(static_cast<UINT>(wParam))) return 0;
            break;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    btnOKClick(btnOK);
                    return 0;
                case idHelp:
                    mnuContents1Click();
                    return 0;
            }
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->hwndFrom == pgMain && header->code == TCN_SELCHANGE) {
                ShowPage(static_cast<int>(::SendMessageA(pgMain, TCM_GETCURSEL, 0, 0)));
                return 0;
            }
            break;
        }
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace pictavo
