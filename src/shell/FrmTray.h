#pragma once
// The hidden form that owns the tray icon and its menu.
#include <memory>

#include "platform/Window.h"
#include "shell/TrayIcon.h"

namespace pictavo {

class TFrmTray : public Window {
public:
    explicit TFrmTray(IShellNotify& shell = SystemShellNotify());
    ~TFrmTray() override;

    std::unique_ptr<TTrayIcon> TrayIcon1;
    // The check mark of the menu's "Run &Slideshow": checked at start.
    bool mnuRunSlideshowChecked = true;

private:
    void FormCreate();
};

}  // namespace pictavo
