#include "app/OptionsPage.h"

#include <commctrl.h>

#include "platform/Controls.h"
#include "platform/Window.h"
#include "shell/NextWallpaperHotKey.h"

namespace pictavo {

TOptionsPage::TOptionsPage(HWND parent, const RECT& area)
    : TSettingsPage(parent, area, "tsOptions") {
    ControlBuilder b(Handle());
    b.Group(" General ", 8, 8, 370, 176);
    chkConfirmExit = b.Check("Ask before e&xiting", idConfirmExit, 20, 26, 300, true);
    chkConfirmDeleteDisk =
        b.Check("Ask before &deleting files from disk", idConfirmDeleteDisk, 20, 46, 300, true);
    chkAskBeforeRemoving =
        b.Check("Ask before &removing files", idAskBeforeRemoving, 20, 66, 300, true);
    chkShowSplash = b.Check("Show splash screen on startup", idShowSplash, 20, 86, 300, true);
    chkToolbarHints =
        b.Check("Show &hints for toolbar buttons", idToolbarHints, 20, 106, 300, true);
    chkStartWithWindows = b.Check("Start with &Windows", idStartWithWindows, 20, 126, 300, true);
    b.Label("Next wallpaper hot key:", 20, 154, 130);
    hkyNextWallpaper = CreateControl(Handle(), HOTKEY_CLASSA, "", WS_VISIBLE | WS_TABSTOP, 154,
                                     150, 160, 21, idNextWallpaperHotKey, WS_EX_CLIENTEDGE);
    // A key that types (a letter alone, or with Shift) gets Ctrl+Alt: the hot
    // key is taken from every program.
    ::SendMessageA(hkyNextWallpaper, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                   MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));

    b.Group(" New Wallpaper ", 8, 190, 370, 96);
    chkPollForChange = b.Check("&Check for Wallpaper every:", idPollForChange, 20, 210, 170, true);
    edtPollInterval = b.Edit("5", idPollInterval, 194, 206, 48);
    updPollInterval = b.Spin(edtPollInterval, idUpdPollInterval, 0, 100, 5, 5);
    b.Label("secs.", 250, 210, 40);
    b.Label("File Name:", 20, 236, 60);
    edtPollFileName = b.Edit("Netscape Wallpaper.bmp", idPollFileName, 84, 232, 282);
    chkPromptNameForNewWP = b.Check("Always prompt for name of new wallpaper", idPromptNameForNewWP,
                                    20, 260, 300, true);

    b.Group(" Picture  Editor ", 8, 292, 370, 76);
    rdoDefaultEditor =
        b.Radio("Use Windows default editor", idDefaultEditor, 20, 312, 250, true, true);
    rdoSelectedEditor = b.Radio("Other editor:", idSelectedEditor, 20, 338, 88, false, false);
    edtSelectedEditor = b.Edit("pbrush.exe", idSelectedEditorName, 110, 334, 180);
    btnSelectEditor = b.Button("Select", idSelectEditor, 296, 332, 72, 25);
}

HotKey TOptionsPage::NextWallpaperHotKey() const {
    return HotKeyFromControlValue(
        static_cast<WORD>(::SendMessageA(hkyNextWallpaper, HKM_GETHOTKEY, 0, 0)));
}

void TOptionsPage::SetNextWallpaperHotKey(const HotKey& hotKey) {
    ::SendMessageA(hkyNextWallpaper, HKM_SETHOTKEY, ControlValueOf(hotKey), 0);
}

void TOptionsPage::chkToolbarHintsClick(const void* sender) {
    // The toolbar reads the setting each time it shows a hint.
    handlers_->settings.GenericSettingsChange(sender);
}

void TOptionsPage::rdoDefaultEditorClick(const void* sender) {
    UpdateEditorControls();
    handlers_->settings.GenericSettingsChange(sender);
}

void TOptionsPage::UpdateEditorControls() {
    const bool other = !Checked(rdoDefaultEditor);
    ::SendMessageA(rdoSelectedEditor, BM_SETCHECK, other ? BST_CHECKED : BST_UNCHECKED, 0);
    ::EnableWindow(edtSelectedEditor, other);
    ::EnableWindow(btnSelectEditor, other);
}

bool TOptionsPage::OnCommand(int id, int code, HWND control) {
    if (!handlers_) return false;
    Handlers& h = *handlers_;
    if (code == BN_CLICKED) {
        switch (id) {
            case idConfirmExit:
            case idConfirmDeleteDisk:
            case idAskBeforeRemoving:
            case idShowSplash:
                h.settings.GenericSettingsChange(control);
                return true;
            case idStartWithWindows:
                h.settings.StartupSettingsChange(control);
                return true;
            case idToolbarHints:
                chkToolbarHintsClick(control);
                return true;
            case idDefaultEditor:
            case idSelectedEditor:
                rdoDefaultEditorClick(control);
                return true;
            case idPollForChange:
                h.polls.chkPollForChangeClick();
                return true;
            case idSelectEditor:
                btnSelectEditorClick();
                return true;
        }
        return false;
    }
    if (code == EN_CHANGE) {
        switch (id) {
            case idPollInterval:
            case idSelectedEditorName:
                h.settings.GenericSettingsChange(control);
                return true;
            case idPollFileName:
                h.polls.edtPollFileNameChange();
                return true;
            case idNextWallpaperHotKey:
                h.settings.HotKeySettingsChange(control);
                return true;
        }
    }
    return false;
}

}  // namespace pictavo
