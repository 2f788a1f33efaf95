#pragma once
// The program's only road to the desktop wallpaper: applying a picture (or
// none) with a tile mode, telling which wallpaper is the current one, finding
// it in the list, and showing its name in the captions.
#include <string>

#include "desktop/WallpaperSystem.h"
#include "inventory/InventoryStore.h"
#include "inventory/PictureActionServices.h"

namespace pictavo {

class IDesktopHost {
public:
    virtual ~IDesktopHost() = default;
    virtual void ProcessMessages() = 0;
    // The main window's caption, the application's title and the tray hint.
    virtual void SetCaptions(const std::string& text) = 0;
    virtual bool SendChangeNotification() const = 0;
    virtual bool SyncWithManualChange() const = 0;
    virtual void UncheckAutoChange() = 0;
    virtual void RestartSlideCountdown() = 0;
    virtual void ShowNextSlide() = 0;
    virtual void ScheduleInventorySave(const void* sender) = 0;
    virtual void ShowError(const std::string& message) = 0;
    // The browser file last captured and where its copy went (empty when none).
    virtual std::string LastCapturedSource() const = 0;
    virtual std::string LastCapturedDestination() const = 0;
};

class TDesktopWallpaper : public IMovedWallpaper {
public:
    // The longest path the system's wallpaper call takes.
    static constexpr size_t kMaxWallpaperPath = 256;

    struct Wallpaper {
        std::string path;  // lower case; empty for none
        bool tile = true;
    };

    TDesktopWallpaper(IWallpaperSystem& system, TInventoryStore& inventory, IDesktopHost& host,
                      std::string baseCaption);

    // False (with a message) when the path is too long to hand to the system.
    bool ApplyWallpaper(const std::string& path, bool tile, bool persist);
    // The user profile's wallpaper; the tile is left as given when the keys cannot be opened.
    std::string ReadDesktopWallpaper(bool& tile);
    Wallpaper GetCurrentWallpaper(bool presetTile = true);
    bool LocateCurrentWallpaper();
    void ShowWallpaperName(const std::string& name);
    // When the moved file was the current wallpaper, the new path takes its
    // place, persisted when the user profile named the old one: otherwise the
    // exit would apply a file that is gone.
    void WallpaperFileMoved(const std::string& from, const std::string& to, bool tile) override;

    void tbnSetWallpaperClick();
    void mnuSetWallpaper1Click();
    void imgDesktopClick() { mnuSetWallpaper1Click(); }
    void dbgrdInventoryDblClick() { mnuSetWallpaper1Click(); }
    void tbnNoneClick();
    void tbnFindInListClick() { LocateCurrentWallpaper(); }
    void DisableThisWallpaperImage1Click(const void* sender);
    void mnuToggleTiledClick(const void* sender);

    const std::string& LastSavedWallpaper() const { return lastSavedWallpaper_; }
    bool LastSavedTile() const { return lastSavedTile_; }
    const std::string& LastAppliedWallpaper() const { return lastAppliedWallpaper_; }
    bool LastAppliedTile() const { return lastAppliedTile_; }

private:
    void SetFromList(bool moveSlideshow);

    IWallpaperSystem& system_;
    TInventoryStore& inventory_;
    IDesktopHost& host_;
    std::string baseCaption_;
    std::string lastSavedWallpaper_;
    bool lastSavedTile_ = true;
    std::string lastAppliedWallpaper_;
    bool lastAppliedTile_ = true;
};

}  // namespace pictavo
