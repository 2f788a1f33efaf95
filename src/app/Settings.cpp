#include "app/Settings.h"

#include <commctrl.h>

#include "inventory/InventoryTable.h"
#include "platform/Controls.h"
#include "platform/FlagScope.h"

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

TSettings::TSettings(std::string path, const std::string& programFolder, TSettingsPages& pages,
                     TInputTimeout& inputTimeout, ISettingsHost& host)
    : file_(std::move(path)),
      pages_(pages),
      inputTimeout_(inputTimeout),
      host_(host),
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
        f.WriteInteger("Preview", "PreviewPanelHeight", pages_.PreviewPanelHeight());
    } else {
        pages_.SetPreviewPanelHeight(
            f.ReadInteger("Preview", "PreviewPanelHeight", pages_.PreviewPanelHeight()));
    }

    if (save) {
        // A missing key counts as different, so the shortcut is made on the first save.
        bool stored = f.ReadBool("General", "StartWithWindows", !Checked(pages_.chkStartWithWindows));
        if (stored != Checked(pages_.chkStartWithWindows)) host_.SyncStartupShortcut();
    }
    check("General", "StartWithWindows", pages_.chkStartWithWindows);
    check("General", "Verbose", pages_.chkShowSplash);
    check("General", "LimitImageSize", pages_.chkLimitImageSize);
    spin("General", "MaxImageSize", pages_.updImageSize);
    check("General", "LimitPreviewSize", pages_.chkLimitPreviewSize);
    spin("General", "MaxPreviewSize", pages_.updPreviewSize);
    check("General", "ToolbarHints", pages_.chkToolbarHints);
    check("General", "UseDefaultEditor", pages_.rdoDefaultEditor);
    edit("General", "SelectedEditor", pages_.edtSelectedEditor);
    if (!save) UpdateEditorControls();

    if (save) {
        RECT bounds = host_.MainWindowBounds();
        f.WriteInteger("Positions", "MainTop", bounds.top);
        f.WriteInteger("Positions", "MainLeft", bounds.left);
    } else if (loadPosition) {
        host_.MoveMainWindow(f.ReadInteger("Positions", "MainLeft", -1),
                             f.ReadInteger("Positions", "MainTop", -1));
        ClampMainWindowPosition();
    }

    check("Confirmation", "ConfirmExit", pages_.chkConfirmExit);
    check("Confirmation", "ConfirmDeleteDisk", pages_.chkConfirmDeleteDisk);
    check("Confirmation", "ConfirmRemoveList", pages_.chkAskBeforeRemoving);

    check("Slideshow", "AutoChange", pages_.chkAutoChange);
    spin("Slideshow", "SlideHrs", pages_.updHrs);
    spin("Slideshow", "SlideMins", pages_.updMins);
    spin("Slideshow", "SlideSecs", pages_.updSecs);
    if (!save) host_.ApplySlideInterval();
    check("Slideshow", "Random", pages_.chkRandom);
    check("Slideshow", "ChangeOnStartup", pages_.chkChangeOnStartup);

    check("AutoDetect", "Polling", pages_.chkPollForChange);
    edit("AutoDetect", "Poll File Name", pages_.edtPollFileName);
    spin("AutoDetect", "PollInterval", pages_.updPollInterval);
    if (!save) host_.ApplyPollSettings();
    check("AutoDetect", "PromptForName", pages_.chkPromptNameForNewWP);
}

void TSettings::SaveSettings(const void*) {
    struct InProgress {
        ISettingsHost& host;
        explicit InProgress(ISettingsHost& h) : host(h) { host.SetSettingsInProgress(true); }
        ~InProgress() { host.SetSettingsInProgress(false); }
    } inProgress(host_);
    LoadSaveSettings(Direction::Save);
}

void TSettings::GenericSettingsChange(const void* sender) {
    if (settingsTransfer_) return;
    inputTimeout_.Schedule(sender, [this](const void* s) { SaveSettings(s); });
}

void TSettings::StartupSettingsChange(const void* sender) {
    if (settingsTransfer_) return;
    inputTimeout_.Schedule(sender, [this](const void*) { host_.SyncStartupShortcut(); });
}

void TSettings::chkLimitImageSizeClick(const void* sender) {
    if (!settingsTransfer_) {
        inputTimeout_.Schedule(sender, [this](const void* s) { SaveSettings(s); });
    }
    host_.RecomputeTooBig();
}

void TSettings::chkToolbarHintsClick(const void* sender) {
    GenericSettingsChange(sender);
    host_.SetToolbarHints(Checked(pages_.chkToolbarHints));
}

void TSettings::rdoDefaultEditorClick(const void* sender) {
    UpdateEditorControls();
    GenericSettingsChange(sender);
}

void TSettings::UpdateEditorControls() {
    const bool other = !Checked(pages_.rdoDefaultEditor);
    ::SendMessageA(pages_.rdoSelectedEditor, BM_SETCHECK, other ? BST_CHECKED : BST_UNCHECKED, 0);
    ::EnableWindow(pages_.edtSelectedEditor, other);
    ::EnableWindow(pages_.btnSelectEditor, other);
}

void TSettings::ClampMainWindowPosition() {
    RECT r = host_.MainWindowBounds();
    POINT at = ClampWindowPosition(r.left, r.top, r.right - r.left, r.bottom - r.top,
                                   ::GetSystemMetrics(SM_CXSCREEN),
                                   ::GetSystemMetrics(SM_CYSCREEN));
    host_.MoveMainWindow(at.x, at.y);
}

bool TSettings::PromptForName() const { return Checked(pages_.chkPromptNameForNewWP); }

bool TSettings::ConfirmAdditions() const { return Checked(pages_.chkConfirmAdditions); }

std::vector<std::string> TSettings::RenameFileNames() const {
    return ListBoxItems(pages_.lbxNORenames);
}

std::string TSettings::PollFileName() const { return ControlText(pages_.edtPollFileName); }

bool TSettings::PollingChecked() const { return Checked(pages_.chkPollForChange); }

int TSettings::PollIntervalPosition() const { return SpinPosition(pages_.updPollInterval); }

std::vector<std::string> TSettings::FixedPollNames() const {
    return ListBoxItems(pages_.lbxNOPollFiles);
}

bool TSettings::TinkleOnDetection() const { return Checked(pages_.chkTinkle); }

std::string TSettings::ReadLastWallpaper() const {
    return file_.ReadString("Slideshow", "LastWallpaper", "");
}

void TSettings::WriteLastWallpaper(const std::string& path) const {
    file_.WriteString("Slideshow", "LastWallpaper", path);
}

bool TSettings::OnCommand(int id, int code, HWND control) {
    if (code == BN_CLICKED) {
        switch (id) {
            case idRandom:
            case idChangeOnStartup:
            case idLimitPreviewSize:
            case idConfirmExit:
            case idConfirmDeleteDisk:
            case idAskBeforeRemoving:
            case idShowSplash:
                GenericSettingsChange(control);
                return true;
            case idStartWithWindows:
                StartupSettingsChange(control);
                return true;
            case idLimitImageSize:
                chkLimitImageSizeClick(control);
                return true;
            case idToolbarHints:
                chkToolbarHintsClick(control);
                return true;
            case idDefaultEditor:
            case idSelectedEditor:
                rdoDefaultEditorClick(control);
                return true;
            case idAutoChange:
                host_.chkAutoChangeClick();
                return true;
            case idPollForChange:
                host_.chkPollForChangeClick();
                return true;
            case idSelectEditor:
                host_.btnSelectEditorClick();
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
                host_.GenericSlideTimerChange(control);
                return true;
            case idMaxImageSize:
                // Only the user at work counts, not the program setting the number.
                if (focus == pages_.edtMaxImageSize || focus == pages_.updImageSize) {
                    chkLimitImageSizeClick(control);
                }
                return true;
            case idMaxPreviewSize:
                if (focus == pages_.edtMaxPreviewSize || focus == pages_.updPreviewSize) {
                    GenericSettingsChange(control);
                }
                return true;
            case idPollInterval:
            case idSelectedEditorName:
                GenericSettingsChange(control);
                return true;
            case idPollFileName:
                host_.edtPollFileNameChange();
                return true;
        }
        return false;
    }
    if (code == EN_SETFOCUS || code == EN_KILLFOCUS) {
        if (id == idHrs || id == idMins || id == idSecs) {
            pages_.SetIntervalEditing(code == EN_SETFOCUS);
            return true;
        }
    }
    return false;
}

bool TSettings::OnNotify(const NMHDR& header) {
    if (header.code != UDN_DELTAPOS) return false;
    // An arrow click puts the focus into the box beside it, so the change
    // handlers see the user at work.
    HWND buddy = reinterpret_cast<HWND>(::SendMessageA(header.hwndFrom, UDM_GETBUDDY, 0, 0));
    if (!buddy) return false;
    ::SetFocus(buddy);
    return false;  // let the spinner move
}

}  // namespace pictavo
