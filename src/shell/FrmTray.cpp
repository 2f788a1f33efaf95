#include "shell/FrmTray.h"

#include "app/Trace.h"

namespace pictavo {

TFrmTray::TFrmTray() {
    // Never shown: no border, 1 by 1 pixel, no owner.
    Create("TFrmTray", WS_EX_TOOLWINDOW, WS_POPUP, "FrmTray", 0, 0, 1, 1, nullptr);
    FormCreate();
}

TFrmTray::~TFrmTray() = default;

void TFrmTray::FormCreate() { SendTrace("FrmTray.FormCreate", Handle()); }

}  // namespace pictavo
