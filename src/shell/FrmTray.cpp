#include "shell/FrmTray.h"

#include "app/Trace.h"

namespace pictavo {

TFrmTray::TFrmTray(IShellNotify& shell) {
    // Never shown: no border, 1 by 1 pixel, no owner.
    Create("TFrmTray", WS_EX_TOOLWINDOW, WS_POPUP, "FrmTray", 0, 0, 1, 1, nullptr);
    TrayIcon1 = std::make_unique<TTrayIcon>(Handle(), shell);
    TrayIcon1->SetHint("Loading Pictavo...");
    TrayIcon1->SetCanShowMenu(false);
    TrayIcon1->WM_Offset = 1;
    TrayIcon1->IconID = 1;
    TrayIcon1->SetActive(true);
    TrayIcon1->Loaded();
    FormCreate();
}

TFrmTray::~TFrmTray() = default;

void TFrmTray::FormCreate() { SendTrace("FrmTray.FormCreate", Handle()); }

}  // namespace pictavo
