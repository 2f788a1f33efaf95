#pragma once
// The wallpaper's own menu commands, as the tray menu offers them.
namespace pictavo {

class IWallpaperMenu {
public:
    virtual ~IWallpaperMenu() = default;
    virtual void tbnNoneClick() = 0;
    virtual void DisableThisWallpaperImage1Click(const void* sender) = 0;
    virtual void mnuToggleTiledClick(const void* sender) = 0;
};

// "&Paste Wallpaper from Clipboard".
class IPasteWallpaper {
public:
    virtual ~IPasteWallpaper() = default;
    virtual void mnuSetWallpaperfromClipboardClick() = 0;
};

}  // namespace pictavo
