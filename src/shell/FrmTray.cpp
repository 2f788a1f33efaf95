#include "shell/FrmTray.h"

#include "platform/Trace.h"

namespace pictavo {

TFrmTray::TFrmTray(IShellNotify& shell) {
    // Never shown: no border, 1 by 1 pixel, no owner.
    Create("TFrmTray", WS_EX_TOOLWINDOW, WS_POPUP, "FrmTray", 0, 0, 1, 1, nullptr);
    BuildMenu();
    TrayIcon1 = std::make_unique<TTrayIcon>(Handle(), shell);
    TrayIcon1->SetHint("Loading Pictavo...");
    TrayIcon1->SetCanShowMenu(false);
    TrayIcon1->PopupMenu = &menuIcon;
    TrayIcon1->WM_Offset = 1;
    TrayIcon1->IconID = 1;
    TrayIcon1->BeforePopup = [this](const void* sender) { TrayIcon1BeforePopup(sender); };
    TrayIcon1->SetActive(true);
    TrayIcon1->Loaded();
    FormCreate();
}

TFrmTray::~TFrmTray() {
    SendTrace("FrmTray.FormClose", Handle());
    TrayIcon1.reset();
}

void TFrmTray::FormCreate() { SendTrace("FrmTray.FormCreate", Handle()); }

void TFrmTray::BuildMenu() {
    using Item = TPopupMenu::Item;
    auto item = [this](const char* caption, std::function<void(const void*)> click,
                       bool isDefault = false, bool checked = false) {
        return menuIcon.Add(Item{caption, true, isDefault, checked, std::move(click)});
    };
    auto separator = [this] { menuIcon.Add(Item{}); };

    mnuChangeWallpaperNow = item(
        "Change Wallpaper &Now",
        [this](const void*) { Forward([](Commands& c) { c.slides.tmrSlideTimer(); }); }, true);
    mnuRunSlideshow = item(
        "Run &Slideshow",
        [this](const void*) { Forward([](Commands& c) { c.slides.RunSlideshow1Click(); }); }, false,
        true);
    mnuBlankWallpaper = item("Wallpaper = (n&one)", [this](const void*) {
        Forward([](Commands& c) { c.wallpaper.tbnNoneClick(); });
    });
    mnuHideDesktopIcons = item("H&ide Desktop Icons",
                               [this](const void* sender) { mnuHideDesktopIconsClick(sender); });
    separator();
    mnuDisableThisWallpaperImage = item("&Disable this Wallpaper", [this](const void* sender) {
        Forward([sender](Commands& c) { c.wallpaper.DisableThisWallpaperImage1Click(sender); });
    });
    mnuToggleTiled = item("Change &Tile Mode", [this](const void* sender) {
        Forward([sender](Commands& c) { c.wallpaper.mnuToggleTiledClick(sender); });
    });
    separator();
    helpMenu_ = ::CreatePopupMenu();
    ::AppendMenuA(helpMenu_, MF_STRING, idContents, "&Contents");
    ::AppendMenuA(helpMenu_, MF_STRING, idAbout, "&About...");
    mnuHelp = menuIcon.Add(Item{"&Help", true, false, false, nullptr, helpMenu_});
    mnuSetWallpaperfromClipboard = item("&Paste Wallpaper from Clipboard", [this](const void*) {
        Forward([](Commands& c) { c.paste.mnuSetWallpaperfromClipboardClick(); });
    });
    mnuShowPictavo = item("Pictavo P&roperties", [this](const void*) {
        Forward([](Commands& c) { c.window.ShowPictavo1Click(); });
    });
    separator();
    mnuClose = item(
        "&Close", [this](const void*) { Forward([](Commands& c) { c.window.mnuClose1Click(); }); });

    menuIcon.SubmenuCommand = [this](UINT command) {
        if (command == idContents) Forward([](Commands& c) { c.window.mnuContents1Click(); });
        if (command == idAbout) Forward([](Commands& c) { c.window.About1Click(); });
    };
}

void TFrmTray::TrayIcon1BeforePopup(const void*) {
    static const std::string kRunSlideshow = "Run &Slideshow";
    for (TPopupMenu::Item& item : menuIcon.Items()) {
        if (&item == &Item(mnuSetWallpaperfromClipboard)) {
            item.enabled = ::IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
            break;
        }
        // Only the first 14 characters are looked at, so the caption is rewritten every time.
        if (item.caption.compare(0, kRunSlideshow.size(), kRunSlideshow) == 0 && commands_) {
            item.caption = kRunSlideshow + " (" + commands_->slides.SlideIntervalText() + ")";
        }
    }
}

void TFrmTray::mnuHideDesktopIconsClick(const void*) {
    TPopupMenu::Item& item = Item(mnuHideDesktopIcons);
    ShowDesktopIcons(item.checked);
    item.checked = !item.checked;
}

void ShowDesktopIcons(bool show) {
    // Looked up afresh: the shell may have been restarted since.
    HWND progman = ::FindWindowA("Progman", "Program Manager");
    if (progman) ::ShowWindow(progman, show ? SW_SHOW : SW_HIDE);
}

}  // namespace pictavo
