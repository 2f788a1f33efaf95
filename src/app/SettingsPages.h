#pragma once
// The controls that hold the settings while the program runs, on the pages
// "&Slideshow" and "O&ptions" (and the preview height on "&Preview"), and the
// hidden panel of fixed options. The controls are the working copy of the
// settings: the program reads a setting from its control.
#include <windows.h>

#include "slideshow/SlideSettings.h"

namespace pictavo {

class TPreviewPage;

enum SettingsControlId {
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
    idConfirmExit,
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
};

struct TSettingsPages : ISlideSettings {
    // Builds every control with its designed caption, range, step and default.
    TSettingsPages(HWND previewPage, HWND slideshowPage, HWND optionsPage, HWND mainWindow);

    // "&Preview": the page owns its preview area; its height is stored with the settings.
    TPreviewPage* previewPage = nullptr;

    // "&Slideshow": group " Slideshow "
    HWND gbxInterval, chkAutoChange, edtHrs, updHrs, edtMins, updMins, edtSecs, updSecs, chkRandom;
    // group " Startup "
    HWND chkChangeOnStartup;
    // group " Display "
    HWND chkLimitImageSize, edtMaxImageSize, updImageSize;
    HWND chkLimitPreviewSize, edtMaxPreviewSize, updPreviewSize;

    // "O&ptions": group " General "
    HWND chkConfirmExit, chkConfirmDeleteDisk, chkAskBeforeRemoving, chkShowSplash,
        chkToolbarHints, chkStartWithWindows;
    // group " New Wallpaper "
    HWND chkPollForChange, edtPollInterval, updPollInterval, edtPollFileName,
        chkPromptNameForNewWP;
    // group " Picture  Editor "
    HWND rdoDefaultEditor, rdoSelectedEditor, edtSelectedEditor, btnSelectEditor;

    // "Design Time Options": never shown, never stored, always in these states.
    HWND pnlDesignOptions;
    HWND chkTinkle, chkSaveEachChange, chkSendChangeNotification, chkConfirmAdditions;
    HWND rdoTiled, rdoCentred, rdoAll;
    HWND chkChangeDuringSaver, chkSyncWithManualChange;
    HWND lbxNOPollFiles, lbxNORenames;

    int PreviewPanelHeight() const;
    void SetPreviewPanelHeight(int height);
    int previewHeight_ = 185;  // kept here until the page exists
    // The three interval boxes and their spinners: focus inside means the user edits the interval.
    bool IsIntervalControl(HWND control) const;
    // Every control of the group " Slideshow ".
    bool IsIntervalGroupControl(HWND control) const;

    // What the slideshow reads and changes.
    SlideOptions ReadSlideOptions() const override;
    int SlideHours() const override;
    int SlideMinutes() const override;
    int SlideSeconds() const override;
    bool AutoChange() const override;
    void UncheckAutoChange() override;
    const void* AutoChangeSender() const override { return chkAutoChange; }
    bool ChangeDuringSaver() const override;
};

}  // namespace pictavo
