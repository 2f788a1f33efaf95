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
#include "platform/Trace.h"
#include "platform/Controls.h"
#include "platform/Files.h"
#include "platform/FlagScope.h"
#include "platform/Guard.h"
#include "resource.h"
#include "shell/FrmTray.h"
#include "shell/StartupShortcut.h"

namespace pictavo {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 402;
constexpr int kClientHeight = 443;
constexpr UINT WM_RELEASE = WM_APP + 1;  // frees the window once its close has been handled
// Looks, once the focus has settled, whether it left the slideshow interval group.
constexpr UINT WM_CHECK_INTERVAL_FOCUS = WM_APP + 2;

enum ControlId {
    idPages = 100,
    idHelp,
};

// The settings the "&Preview" page reads, from their controls, and the next slide.
class PreviewHostOfMain final : public IPreviewHost {
public:
    PreviewHostOfMain(TSettingsPages& pages, TSlideShow& slides) : pages_(pages), slides_(slides) {}
    bool LimitPreviewSize() const override { return Checked(pages_.chkLimitPreviewSize); }
    int MaxPreviewSize() const override { return SpinPosition(pages_.updPreviewSize); }
    bool ToolbarHints() const override { return Checked(pages_.chkToolbarHints); }
    void ShowNextSlide() override { slides_.ShowNextSlide(); }
    // The Export Manager is not part of this program yet.
    void OpenExportManager() override {}

private:
    TSettingsPages& pages_;
    TSlideShow& slides_;
};

// Removing, deleting, moving and editing are wired in when they exist.
class NoPictureCommands final : public IPictureCommands {
public:
    void tbnRemoveClick() override {}
    void tbnDeleteClick() override {}
    void tbnMoveClick() override {}
    void mnuEdit1Click() override {}
};

constexpr const char* kPageNames[] = {"&Preview", "&Slideshow", "O&ptions", "&Online"};
constexpr DWORD kPageHelpContexts[] = {4, 5, 6, 7};

}  // namespace

TFrmMain::TFrmMain(Services services)
    : InputTimeout1(services.timers, 2250), Inventory(*this), services_(std::move(services)) {
    // The same number the program entry registered: a second copy broadcasts it.
    msgMyWindowMessageHandle = ::RegisterWindowMessageA("RestorePictavo");
    SIZE size = WindowSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle);
    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PICTAVO));
    Create("TFrmMain", kExStyle, kStyle, "Pictavo", 0, 0, size.cx, size.cy, nullptr, icon);
    CreateControls();
    frmItemInfo_ = std::make_unique<TfrmItemInfo>(Handle());
    AdjustFormScaling(frmItemInfo_->Handle(), TfrmItemInfo::kFontHeight);
    dlgOpenImport_ = std::make_unique<TOpenImportDialog>(services_.prompts);
    addProgress_ = std::make_unique<TAddProgress>(pbrProgress, lblHints);
    desktop_ = std::make_unique<TDesktopWallpaper>(services_.wallpaper, Inventory,
                                                   static_cast<IDesktopHost&>(*this), "Pictavo");
    slideShow_ = std::make_unique<TSlideShow>(*pages_, Inventory, *desktop_, InputTimeout1,
                                              services_.timers,
                                              static_cast<ISlideShowHost&>(*this));
    services_.application.MainForm = Handle();
    services_.tray.SetHost(static_cast<ITrayHost*>(this));
    FormCreate();
}

TFrmMain::~TFrmMain() {
    // The loop may have ended without the window being closed (error 101):
    // its destruction steps, the last flush among them, still run.
    if (Handle()) ::DestroyWindow(Handle());
    SetExceptionHandler(nullptr);
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
    pageArea_ = area;
    tsSlideshow = std::make_unique<TPanel>(self, area, "tsSlideshow");
    tsOptions = std::make_unique<TPanel>(self, area, "tsOptions");
    tsOnline = std::make_unique<TPanel>(self, area, "tsOnline");
    pages_ = std::make_unique<TSettingsPages>(nullptr, tsSlideshow->Handle(),
                                              tsOptions->Handle(), self);

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
    ::SetWindowContextHelpId(Handle(), kPageHelpContexts[index]);
}

RECT TFrmMain::MainWindowBounds() const {
    RECT r{};
    ::GetWindowRect(Handle(), &r);
    return r;
}

void TFrmMain::MoveMainWindow(int left, int top) {
    ::SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TFrmMain::LimitImageSize() const { return Checked(pages_->chkLimitImageSize); }

int TFrmMain::MaxImageSize() const { return SpinPosition(pages_->updImageSize); }

void TFrmMain::Trace(const std::string& text) { SendTrace(text, Handle()); }

// ---------------------------------------------------------------------------
// Start-up

void TFrmMain::FormCreate() {
    Trace("FormCreate");
    SetExceptionHandler([this](const std::string& message) { HandleAppException(message); });
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
    settings_ = std::make_unique<TSettings>(ChangeFileExt(exePath, ".INI"), ExtractFileDir(exePath),
                                            *pages_, InputTimeout1,
                                            static_cast<ISettingsHost&>(*this));
    adder_ = std::make_unique<TPictureAdder>(TPictureAdder::Services{
        Inventory, *this, flags_, services_.prompts, *frmItemInfo_, *dlgOpenImport_, *settings_,
        *addProgress_});
    previewHost_ = std::make_unique<PreviewHostOfMain>(*pages_, *slideShow_);
    pictureCommands_ = std::make_unique<NoPictureCommands>();
    tsPreview = std::make_unique<TPreviewPage>(
        Handle(), pageArea_,
        TPreviewPage::Services{Inventory, *this, *desktop_, *adder_, *previewHost_,
                               *pictureCommands_, flags_, services_.prompts});
    tsPreview->SetPreviewPanelHeight(pages_->previewHeight_);
    pages_->previewPage = tsPreview.get();
    detector_ = std::make_unique<TWallpaperDetector>(TWallpaperDetector::Services{
        Inventory, *desktop_, *adder_, *this, flags_, InputTimeout1, services_.timers, *settings_,
        static_cast<IDetectionHost&>(*this), WindowsDirectory()});
    services_.application.HelpFile = ChangeFileExt(exePath, ".hlp");
    ::SetWindowContextHelpId(Handle(), 1);
    // A program that has never saved its settings here has never run here.
    firstRun_ = !FileExists(settings_->Path());

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
            Inventory.CreateTable();
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
            settings_->SetDataDirectory(defaultDataDirectory);
        }
        const std::string dataDirectory = settings_->DataDirectory();
        Inventory.SetTableFile(dataDirectory, settings_->TableFileName());

        flags_.previewSuspended = true;
        try {
            EnsureDataDirectory(dataDirectory);
            if (!formerDataDirectory_.empty()) Inventory.RelocateRecords(formerDataDirectory_);
        } catch (...) {
            flags_.previewSuspended = false;
            throw;
        }
        flags_.previewSuspended = false;

        Inventory.MakeClones();
        RefreshInventoryColumns();
        // The first picture is named, not loaded: start-up reads no picture
        // file, and a record whose file is gone stays until the user meets it.
        tsPreview->ShowClickToPreview();

        if (firstRun_) {
            Trace("FrmMain.FormCreate: First Run");
            ::SetForegroundWindow(Handle());
            // The interval's hours are not mentioned: a whole-hour interval speaks of seconds.
            const int minutes = SpinPosition(pages_->updMins);
            const int seconds = SpinPosition(pages_->updSecs);
            services_.prompts.Message(
                Handle(), minutes > 0
                              ? "Slideshow will change your wallpaper every " +
                                    std::to_string(minutes) + " minutes.\r" +
                                    "You can change this interval on the Options page."
                              : "Slideshow will change your wallpaper every " +
                                    std::to_string(seconds) + " seconds.\r" +
                                    "You can change this interval on the Options page.");
            detector_->ScanFoldersForBitmaps({detector_->WindowsDir()});
            if (FileExists(services_.application.HelpFile)) {
                OpenHelp(HELP_CONTENTS, 0);
                OpenHelp(HELP_CONTEXT, 2);
            }
        }

        SyncStartupShortcut();
        if (!desktop_->LocateCurrentWallpaper()) {
            Inventory.SelectInList(settings_->ReadLastWallpaper());
        }
        Inventory.SyncSlideShowCursor();
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
                if (form.services_.commandLineArgument == ":") {
                    ::ShowWindow(form.Handle(), SW_SHOW);
                    ::SetForegroundWindow(form.Handle());
                }
            }
        } finally{*this};
        flags_.settingsInProgress = false;
        if (Checked(pages_->chkChangeOnStartup)) {
            EndSplash();
            slideShow_->ShowNextSlide();
            desktop_->LocateCurrentWallpaper();
        }
    });
    flags_.startingUp = false;
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
    Inventory.LoadInventory();
}

// ---------------------------------------------------------------------------
// Closing

void TFrmMain::Close() {
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) return;
    FormClose();
    ::PostMessageA(Handle(), WM_RELEASE, 0, 0);
}

void TFrmMain::FormCloseQuery(bool& canClose) {
    if (booCloseFromMenu) {
        Trace("FrmMain: FormCloseQuery - booCloseFromMenu");
        struct Clear {
            bool& flag;
            ~Clear() { flag = false; }
        } clear{booCloseFromMenu};
        canClose = !Checked(pages_->chkConfirmExit) ||
                   services_.prompts.Confirm(
                       Handle(),
                       "Exiting Pictavo will disable Slideshow and Wallpaper Detection.\rExit Now?",
                       MB_YESNOCANCEL);
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
    InputTimeout1.Schedule(sender, [this](const void*) { Inventory.SaveInventory(); });
    RunExitStep(reported, [this] { InputTimeout1.Flush(); });
    ::ShowWindow(Handle(), SW_HIDE);
    ShowClickToPreview();
}

void TFrmMain::RunExitStep(bool& writeFailureReported, const std::function<void()>& step) {
    try {
        step();
    } catch (const SettingsWriteError& e) {
        if (!writeFailureReported) {
            writeFailureReported = true;
            ShowError(e.what());
        }
        Trace(e.what());
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
    RunExitStep(reported, [this] { services_.application.ProcessMessages(); });
    TDesktopWallpaper::Wallpaper current;
    RunExitStep(reported, [&] { current = desktop_->GetCurrentWallpaper(true); });
    RunExitStep(reported, [&] { settings_->WriteLastWallpaper(current.path); });
    RunExitStep(reported, [&] { desktop_->ApplyWallpaper(current.path, current.tile, true); });
}

bool TFrmMain::WMQueryEndSession(UINT message) {
    Trace("TFrmMain.WMQueryEndSession  " + std::to_string(message));
    booCloseWindows = true;
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
    if (services_.tray.DesktopIconsHidden()) ShowDesktopIcons(true);
    OpenHelp(HELP_QUIT, 0);
    ::DeleteFileA(TInventoryStore::OwnWallpaperPath().c_str());
    ::DragAcceptFiles(Handle(), FALSE);
    Trace("FormDestroy");
}

void TFrmMain::FormHide() { HideSplash(); }

void TFrmMain::OpenHelp(UINT command, ULONG_PTR data) {
    ::WinHelpA(Handle(), services_.application.HelpFile.c_str(), command, data);
}

void TFrmMain::mnuClose1Click() {
    Trace("FrmMain: mnuClose1Click");
    booCloseFromMenu = true;
    Close();
}

void TFrmMain::RunSlideshow1Click() {
    SetChecked(pages_->chkAutoChange, !Checked(pages_->chkAutoChange));
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
    services_.prompts.Message(Handle(), text);
    Trace(text);
}

// ---------------------------------------------------------------------------
// The inventory's needs

void TFrmMain::ScheduleInventorySave() { ScheduleInventorySave(&services_.application); }

void TFrmMain::ShowError(const std::string& message) {
    ::SetForegroundWindow(Handle());
    services_.prompts.Message(Handle(), message);
}

void TFrmMain::ShowHint(const std::string& text) { ::SetWindowTextA(lblHints, text.c_str()); }

// ---------------------------------------------------------------------------
// The desktop's and the slideshow's needs

void TFrmMain::ProcessMessages() { services_.application.ProcessMessages(); }

void TFrmMain::SetCaptions(const std::string& text) {
    ::SetWindowTextA(Handle(), text.c_str());
    services_.application.Title = text;
    services_.tray.TrayIcon1->SetHint(text);
}

bool TFrmMain::SendChangeNotification() const { return Checked(pages_->chkSendChangeNotification); }

bool TFrmMain::SyncWithManualChange() const { return Checked(pages_->chkSyncWithManualChange); }

void TFrmMain::UncheckAutoChange() { SetChecked(pages_->chkAutoChange, false); }

void TFrmMain::ScheduleInventorySave(const void* sender) {
    InputTimeout1.Schedule(sender, [this](const void*) { Inventory.SaveInventory(); });
}

bool TFrmMain::RunSlideshowChecked() const { return services_.tray.RunSlideshowChecked(); }

void TFrmMain::SetRunSlideshowChecked(bool checked) {
    services_.tray.SetRunSlideshowChecked(checked);
}

void TFrmMain::SyncStartupShortcut() {
    std::string failure =
        pictavo::SyncStartupShortcut(Checked(pages_->chkStartWithWindows), ExePath());
    if (!failure.empty()) ShowError(failure);
}

void TFrmMain::mnuContents1Click() {
    if (FileExists(services_.application.HelpFile)) {
        OpenHelp(HELP_CONTENTS, 0);
    } else {
        ShowError("Unable to find the help file " + services_.application.HelpFile + ".");
    }
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
        booCloseWindows = true;
        Close();
        return 0;
    }
    switch (message) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_QUERYENDSESSION:
            return WMQueryEndSession(message) ? TRUE : FALSE;
        case WM_ENDSESSION:
            // The session goes on after all: closing the window hides it again.
            if (!wParam) booCloseWindows = closing_ = false;
            return 0;
        case WM_SETTINGCHANGE:
            if (detector_) detector_->WMSettingChange(reinterpret_cast<const char*>(lParam));
            return 0;
        case WM_RELEASE:
            ::DestroyWindow(Handle());
            return 0;
        case WM_CHECK_INTERVAL_FOCUS: {
            HWND focus = ::GetFocus();
            if (!pages_->IsIntervalGroupControl(focus)) slideShow_->gbxIntervalExit();
            return 0;
        }
        case WM_DESTROY:
            FormDestroy();
            services_.application.Terminate();
            return 0;
        case WM_SHOWWINDOW:
            if (!wParam) FormHide();
            break;
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
            if (HIWORD(wParam) == EN_KILLFOCUS &&
                pages_->IsIntervalGroupControl(reinterpret_cast<HWND>(lParam))) {
                ::PostMessageA(Handle(), WM_CHECK_INTERVAL_FOCUS, 0, 0);
            }
            if (settings_ && settings_->OnCommand(LOWORD(wParam), HIWORD(wParam),
                                                  reinterpret_cast<HWND>(lParam))) {
                return 0;
            }
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
            if (settings_ && settings_->OnNotify(*header)) return 0;
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
