#include "app/DesignOptions.h"

#include "platform/Controls.h"
#include "platform/Window.h"

namespace pictavo {

TDesignOptions::TDesignOptions(HWND mainWindow) {
    pnlDesignOptions =
        CreateControl(mainWindow, "STATIC", "Design Time Options", 0, 0, 0, 300, 200);
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

}  // namespace pictavo
