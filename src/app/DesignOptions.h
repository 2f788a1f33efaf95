#pragma once
// "Design Time Options": a panel that is never shown and never stored; its
// controls always hold these states, and the program reads them like any
// other setting.
#include <windows.h>

namespace pictavo {

struct TDesignOptions {
    explicit TDesignOptions(HWND mainWindow);

    HWND pnlDesignOptions;
    HWND chkTinkle, chkSaveEachChange, chkSendChangeNotification, chkConfirmAdditions;
    HWND rdoTiled, rdoCentred, rdoAll;
    HWND chkChangeDuringSaver, chkSyncWithManualChange;
    HWND lbxNOPollFiles, lbxNORenames;
};

}  // namespace pictavo
