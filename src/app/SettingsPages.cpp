#include "app/SettingsPages.h"

#include <string>

#include "inventory/PreviewPage.h"
#include "platform/Controls.h"
#include "platform/Window.h"

namespace pictavo {

TSettingsPages::TSettingsPages(HWND /*previewPage*/, HWND slideshowPage, HWND optionsPage,
                               HWND mainWindow) {
    {
        ControlBuilder b(slideshowPage);
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

        b.Group(" Display ", 8, 176, 370, 80);
        chkLimitImageSize =
            b.Check("&Limit wallpaper size to:", idLimitImageSize, 20, 198, 160, false);
        edtMaxImageSize = b.Edit("1500", idMaxImageSize, 190, 194, 64);
        updImageSize = b.Spin(edtMaxImageSize, idUpdImageSize, 0, 32000, 250, 1500);
        b.Label("k bytes", 262, 198, 60);
        chkLimitPreviewSize =
            b.Check("Limit &preview size to:", idLimitPreviewSize, 20, 226, 160, true);
        edtMaxPreviewSize = b.Edit("250", idMaxPreviewSize, 190, 222, 64);
        updPreviewSize = b.Spin(edtMaxPreviewSize, idUpdPreviewSize, 0, 32000, 250, 250);
        b.Label("k bytes", 262, 226, 60);
    }
    {
        ControlBuilder b(optionsPage);
        b.Group(" General ", 8, 8, 370, 148);
        chkConfirmExit = b.Check("Ask before e&xiting", idConfirmExit, 20, 26, 300, true);
        chkConfirmDeleteDisk =
            b.Check("Ask before &deleting files from disk", idConfirmDeleteDisk, 20, 46, 300, true);
        chkAskBeforeRemoving =
            b.Check("Ask before &removing files", idAskBeforeRemoving, 20, 66, 300, true);
        chkShowSplash = b.Check("Show splash screen on startup", idShowSplash, 20, 86, 300, true);
        chkToolbarHints =
            b.Check("Show &hints for toolbar buttons", idToolbarHints, 20, 106, 300, true);
        chkStartWithWindows =
            b.Check("Start with &Windows", idStartWithWindows, 20, 126, 300, true);

        b.Group(" New Wallpaper ", 8, 162, 370, 96);
        chkPollForChange =
            b.Check("&Check for Wallpaper every:", idPollForChange, 20, 182, 170, true);
        edtPollInterval = b.Edit("5", idPollInterval, 194, 178, 48);
        updPollInterval = b.Spin(edtPollInterval, idUpdPollInterval, 0, 100, 5, 5);
        b.Label("secs.", 250, 182, 40);
        b.Label("File Name:", 20, 208, 60);
        edtPollFileName = b.Edit("Netscape Wallpaper.bmp", idPollFileName, 84, 204, 282);
        chkPromptNameForNewWP = b.Check("Always prompt for name of new wallpaper",
                                        idPromptNameForNewWP, 20, 232, 300, true);

        b.Group(" Picture  Editor ", 8, 264, 370, 76);
        rdoDefaultEditor =
            b.Radio("Use Windows default editor", idDefaultEditor, 20, 284, 250, true, true);
        rdoSelectedEditor = b.Radio("Other editor:", idSelectedEditor, 20, 310, 88, false, false);
        edtSelectedEditor = b.Edit("pbrush.exe", idSelectedEditorName, 110, 306, 180);
        btnSelectEditor = b.Button("Select", idSelectEditor, 296, 304, 72, 25);
    }
    {
        pnlDesignOptions = CreateControl(mainWindow, "STATIC", "Design Time Options", 0, 0, 0,
                                         300, 200);
        ControlBuilder b(pnlDesignOptions);
        chkTinkle = b.Check("&Tinkle On Detection", 0, 0, 0, 200, true);
        chkSaveEachChange = b.Check("Sa&ve each change to wallpaper.", 0, 0, 20, 200, true);
        chkSendChangeNotification = b.Check("SendChangeNotification", 0, 0, 40, 200, true);
        chkConfirmAdditions = b.Check("When addi&ng records", 0, 0, 60, 200, false);
        b.Group(" Show Only ", 0, 80, 200, 70);
        rdoTiled = b.Radio("&Tiled Images", 0, 4, 96, 150, true, false);
        rdoCentred = b.Radio("Ce&ntered Images", 0, 4, 112, 150, false, false);
        rdoAll = b.Radio("&Doesn't Matter", 0, 4, 128, 150, false, true);
        chkChangeDuringSaver =
            b.Check("Chan&ge wallpaper even if screen saver is active.", 0, 0, 150, 280, false);
        chkSyncWithManualChange =
            b.Check("Slideshow s&ynchronizes with manual change.", 0, 0, 170, 280, true);
        lbxNOPollFiles = b.ListBox(0, 200, 0, 100, 40);
        lbxNORenames = b.ListBox(0, 200, 40, 100, 40);
        for (const char* name : {"Netscape Wallpaper.bmp", "Internet Explorer Wallpaper.bmp"}) {
            ::SendMessageA(lbxNOPollFiles, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        }
        for (const char* name : {"Internet Explorer Wallpaper.bmp", "Netscape Wallpaper.bmp"}) {
            ::SendMessageA(lbxNORenames, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        }
    }
}

int TSettingsPages::PreviewPanelHeight() const {
    return previewPage ? previewPage->PreviewPanelHeight() : previewHeight_;
}

void TSettingsPages::SetPreviewPanelHeight(int height) {
    if (previewPage) {
        previewPage->SetPreviewPanelHeight(height);
    } else {
        previewHeight_ = height;
    }
}

bool TSettingsPages::IsIntervalControl(HWND control) const {
    return control == edtHrs || control == edtMins || control == edtSecs || control == updHrs ||
           control == updMins || control == updSecs;
}

}  // namespace pictavo

namespace pictavo {

bool TSettingsPages::IsIntervalGroupControl(HWND control) const {
    return IsIntervalControl(control) || control == chkAutoChange || control == chkRandom;
}

}  // namespace pictavo

namespace pictavo {

SlideOptions TSettingsPages::ReadSlideOptions() const {
    SlideOptions options;
    options.random = Checked(chkRandom);
    options.autoChange = Checked(chkAutoChange);
    options.limitSize = Checked(chkLimitImageSize);
    options.maxSizeK = SpinPosition(updImageSize);
    options.showAll = Checked(rdoAll);
    options.showTiled = Checked(rdoTiled);
    options.showCentred = Checked(rdoCentred);
    options.saveEachChange = Checked(chkSaveEachChange);
    return options;
}

int TSettingsPages::SlideHours() const { return SpinPosition(updHrs); }
int TSettingsPages::SlideMinutes() const { return SpinPosition(updMins); }
int TSettingsPages::SlideSeconds() const { return SpinPosition(updSecs); }
bool TSettingsPages::AutoChange() const { return Checked(chkAutoChange); }
void TSettingsPages::UncheckAutoChange() { SetChecked(chkAutoChange, false); }
bool TSettingsPages::ChangeDuringSaver() const { return Checked(chkChangeDuringSaver); }

}  // namespace pictavo
