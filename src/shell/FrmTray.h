#pragma once
// The hidden form that owns the tray icon and its menu. Every menu item calls
// an operation of the main window; the form keeps only the menu's marks.
#include <memory>
#include <string>

#include "platform/Window.h"
#include "shell/PopupMenu.h"
#include "shell/TrayIcon.h"

namespace pictavo {

// The main window's operations the tray menu drives.
class ITrayHost {
public:
    virtual ~ITrayHost() = default;
    virtual void tmrSlideTimer() = 0;
    virtual void RunSlideshow1Click() = 0;
    virtual void tbnNoneClick() = 0;
    virtual void DisableThisWallpaperImage1Click(const void* sender) = 0;
    virtual void mnuToggleTiledClick(const void* sender) = 0;
    virtual void mnuContents1Click() = 0;
    virtual void About1Click() = 0;
    virtual void mnuSetWallpaperfromClipboardClick() = 0;
    virtual void ShowPictavo1Click() = 0;
    virtual void mnuClose1Click() = 0;
    virtual std::string SlideIntervalText() const = 0;
};

class TFrmTray : public Window {
public:
    explicit TFrmTray(IShellNotify& shell = SystemShellNotify());
    ~TFrmTray() override;

    void SetHost(ITrayHost* host) { host_ = host; }

    std::unique_ptr<TTrayIcon> TrayIcon1;
    TPopupMenu menuIcon;
    // Positions of the items in menuIcon.
    size_t mnuChangeWallpaperNow, mnuRunSlideshow, mnuBlankWallpaper, mnuHideDesktopIcons,
        mnuDisableThisWallpaperImage, mnuToggleTiled, mnuHelp, mnuSetWallpaperfromClipboard,
        mnuShowPictavo, mnuClose;
    TPopupMenu::Item& Item(size_t index) { return menuIcon.Items()[index]; }

    bool RunSlideshowChecked() const { return menuIcon.Items()[mnuRunSlideshow].checked; }
    void SetRunSlideshowChecked(bool checked) { Item(mnuRunSlideshow).checked = checked; }
    bool DesktopIconsHidden() const { return menuIcon.Items()[mnuHideDesktopIcons].checked; }

    void TrayIcon1BeforePopup(const void* sender);
    void mnuHideDesktopIconsClick(const void* sender);

private:
    void FormCreate();
    void BuildMenu();
    // Runs a main-window operation once there is a main window.
    template <typename F>
    void Forward(F f) {
        if (host_) f(*host_);
    }

    ITrayHost* host_ = nullptr;
    HMENU helpMenu_ = nullptr;
    // Command numbers of the "&Help" submenu's items.
    enum { idContents = 1001, idAbout };
};

// The desktop icons live in the shell's Program Manager window.
void ShowDesktopIcons(bool show);

}  // namespace pictavo
