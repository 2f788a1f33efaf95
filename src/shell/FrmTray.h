#pragma once
// The hidden form that owns the tray icon and its menu. Every menu item calls
// an operation of the slideshow, the wallpaper or the main window; the form
// keeps only the menu's marks.
#include <memory>
#include <optional>
#include <string>

#include "desktop/SlideControl.h"
#include "desktop/WallpaperMenu.h"
#include "platform/Window.h"
#include "shell/PopupMenu.h"
#include "shell/TrayIcon.h"
#include "slideshow/SlideSettings.h"

namespace pictavo {

// The main window's own operations the tray menu drives.
class ITrayHost {
public:
    virtual ~ITrayHost() = default;
    virtual void mnuContents1Click() = 0;
    virtual void About1Click() = 0;
    virtual void ShowPictavo1Click() = 0;
    virtual void mnuClose1Click() = 0;
};

class TFrmTray : public Window, public IRunSlideshowMark {
public:
    explicit TFrmTray(IShellNotify& shell = SystemShellNotify());
    ~TFrmTray() override;

    // What the menu items call. The tray form comes first, so that the icon
    // shows while the program starts, and is told these once they exist;
    // until then the items do nothing.
    struct Commands {
        ITrayHost& window;
        ISlideControl& slides;
        IWallpaperMenu& wallpaper;
        IPasteWallpaper& paste;
    };
    void Attach(const Commands& commands) { commands_.emplace(commands); }

    std::unique_ptr<TTrayIcon> TrayIcon1;
    TPopupMenu menuIcon;
    // Positions of the items in menuIcon.
    size_t mnuChangeWallpaperNow, mnuRunSlideshow, mnuBlankWallpaper, mnuHideDesktopIcons,
        mnuDisableThisWallpaperImage, mnuToggleTiled, mnuHelp, mnuSetWallpaperfromClipboard,
        mnuShowPictavo, mnuClose;
    TPopupMenu::Item& Item(size_t index) { return menuIcon.Items()[index]; }

    bool RunSlideshowChecked() const override { return menuIcon.Items()[mnuRunSlideshow].checked; }
    void SetRunSlideshowChecked(bool checked) override { Item(mnuRunSlideshow).checked = checked; }
    bool DesktopIconsHidden() const { return menuIcon.Items()[mnuHideDesktopIcons].checked; }

    void TrayIcon1BeforePopup(const void* sender);
    void mnuHideDesktopIconsClick(const void* sender);

private:
    void FormCreate();
    void BuildMenu();
    // Runs a command once the commands are attached.
    template <typename F>
    void Forward(F f) {
        if (commands_) f(*commands_);
    }

    std::optional<Commands> commands_;
    HMENU helpMenu_ = nullptr;
    // Command numbers of the "&Help" submenu's items.
    enum { idContents = 1001, idAbout };
};

// The desktop icons live in the shell's Program Manager window.
void ShowDesktopIcons(bool show);

}  // namespace pictavo
