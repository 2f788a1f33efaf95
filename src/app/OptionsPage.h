#pragma once
// The "O&ptions" page: questions, splash, hints, start-up, detection of new
// wallpaper and the picture editor. Its controls hold these settings while
// the program runs, and their notices come here, to the page they sit on.
#include <windows.h>

#include <optional>

#include "app/SettingsChanges.h"
#include "app/SettingsPage.h"
#include "detect/WallpaperDetector.h"
#include "shell/HotKeyText.h"
#include "shell/PictureEditor.h"

namespace pictavo {

enum OptionsControlId {
    idConfirmExit = 215,
    idConfirmDeleteDisk,
    idAskBeforeRemoving,
    idShowSplash,
    idToolbarHints,
    idStartWithWindows,
    idPollForChange,
    idPollInterval,
    idUpdPollInterval,
    idPollFileName,
    idPromptNameForNewWP,
    idDefaultEditor,
    idSelectedEditor,
    idSelectedEditorName,
    idSelectEditor,
    idNextWallpaperHotKey = 270,
};

class TOptionsPage : public TSettingsPage {
public:
    // Builds every control with its designed caption, range, step and default.
    TOptionsPage(HWND parent, const RECT& area);

    // Whom the controls' handlers call; attached once they exist (the
    // settings and detection read their settings from this page). The
    // editor may be absent.
    struct Handlers {
        ISettingsChanges& settings;
        IPollControl& polls;
        TPictureEditor* editor;
    };
    void Attach(const Handlers& handlers) { handlers_.emplace(handlers); }

    // group " General "
    HWND chkConfirmExit, chkConfirmDeleteDisk, chkAskBeforeRemoving, chkShowSplash, chkToolbarHints,
        chkStartWithWindows, hkyNextWallpaper;
    // group " New Wallpaper "
    HWND chkPollForChange, edtPollInterval, updPollInterval, edtPollFileName, chkPromptNameForNewWP;
    // group " Picture  Editor "
    HWND rdoDefaultEditor, rdoSelectedEditor, edtSelectedEditor, btnSelectEditor;

    // "Next wallpaper hot key:" as its control shows it; setting it raises no change notice.
    HotKey NextWallpaperHotKey() const;
    void SetNextWallpaperHotKey(const HotKey& hotKey);

    void chkToolbarHintsClick(const void* sender);
    void rdoDefaultEditorClick(const void* sender);
    // The other editor's name and "Select" are open only with "Other editor:".
    void UpdateEditorControls();
    // "Select": the editor chooses the other editor's program.
    void btnSelectEditorClick() {
        if (handlers_ && handlers_->editor) handlers_->editor->btnSelectEditorClick();
    }

protected:
    bool OnCommand(int id, int code, HWND control) override;

private:
    std::optional<Handlers> handlers_;
};

}  // namespace pictavo
