#pragma once
// The hidden form that owns the tray icon and its menu.
#include "platform/Window.h"
#include "shell/TrayIcon.h"

namespace pictavo {

class TFrmTray : public Window {
public:
    TFrmTray();
    ~TFrmTray() override;

    TTrayIcon TrayIcon1;
    // The check mark of the menu's "Run &Slideshow": checked at start.
    bool mnuRunSlideshowChecked = true;

private:
    void FormCreate();
};

}  // namespace pictavo
