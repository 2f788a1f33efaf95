#pragma once
// The program's only road to the desktop wallpaper: applying a picture (or
// none) with a tile mode, telling which wallpaper is the current one, finding
// it in the list, and showing its name in the captions.
#include <string>

#include "desktop/SlideControl.h"
#include "desktop/WallpaperMenu.h"
#include "desktop/WallpaperRenderer.h"
#include "desktop/WallpaperSystem.h"
#include "inventory/InventoryStore.h"
#include "pictures/PictureCommands.h"
#include "platform/PicturePath.h"
#include "platform/UserInterface.h"
#include "pictures/PictureActionServices.h"

namespace pictavo {

// The settings the wallpaper reads, and the one it changes; the settings
// controls implement it.
class IDesktopOptions {
public:
    virtual ~IDesktopOptions() = default;
    virtual bool SendChangeNotification() const = 0;
    // "Slideshow s&ynchronizes with manual change."
    virtual bool SyncWithManualChange() const = 0;
    // Unchecks "&Enable Slideshow"; its click handler runs as after a user's click.
    virtual void UncheckAutoChange() = 0;
    // "Shrink large pictures to fit the screen"
    virtual bool ShrinkToFit() const = 0;
};

// Which picture the program's own wallpaper bitmap was last rendered from,
// kept across runs: after a restart, even one after a kill, the profile names
// the bitmap while the list holds the picture.
class IRenditionRecord {
public:
    virtual ~IRenditionRecord() = default;
    virtual std::string RenditionSource() const = 0;
    virtual void SetRenditionSource(const std::string& path) = 0;
};

// The browser file last captured and where its copy went (empty when none);
// detection implements it.
class ICaptureHistory {
public:
    virtual ~ICaptureHistory() = default;
    virtual std::string LastCapturedSource() const = 0;
    virtual std::string LastCapturedDestination() const = 0;
};

// Where the current wallpaper's name shows: the main window's caption, the
// application's title and the tray hint.
class IWallpaperCaptions {
public:
    virtual ~IWallpaperCaptions() = default;
    virtual void SetCaptions(const std::string& text) = 0;
};

class TDesktopWallpaper : public IWallpaperMenu,
                          public IMovedWallpaper,
                          public IListWallpaperCommands {
public:
    // The longest path the system's wallpaper call takes.
    static constexpr size_t kMaxWallpaperPath = 256;

    struct Wallpaper {
        std::string path;  // as written; empty for none
        bool tile = true;
    };

    TDesktopWallpaper(IWallpaperSystem& system, TInventoryStore& inventory, IUserInterface& ui,
                      IDesktopOptions& options, IWallpaperCaptions& captions,
                      std::string baseCaption, IWallpaperRenderer& renderer = SystemRenderer());

    // The slideshow and detection stand on the wallpaper, so they are made
    // after it and attach here. Until then a manual change moves no slideshow
    // and no capture is known.
    void AttachSlideControl(ISlideControl& slides) { slides_ = &slides; }
    void AttachCaptureHistory(const ICaptureHistory& captures) { captures_ = &captures; }
    // The settings file is read after the wallpaper is made; until then the
    // rendition's source is known only for renditions made in this run.
    void AttachRenditionRecord(IRenditionRecord& record) { renditionRecord_ = &record; }

    // Whether a failure is told to the user or only to the trace (nobody acted).
    enum class Failure { Show, Trace };
    // False when the path is too long to hand to the system (always shown), the
    // picture could not be rendered, or the system refused it: then nothing changes.
    bool ApplyWallpaper(const std::string& path, bool tile, bool persist,
                        Failure report = Failure::Show);
    // The user profile's wallpaper; the tile is left as given when the keys cannot be opened.
    std::string ReadDesktopWallpaper(bool& tile);
    Wallpaper GetCurrentWallpaper(bool presetTile = true);
    bool LocateCurrentWallpaper();
    void ShowWallpaperName(const std::string& name);
    // The screen's size changed: a rendered wallpaper is rendered again for it.
    void DisplayChanged();
    // At exit: the rendition goes unless the profile names it, for then the
    // desktop shows it.
    void DeleteRenditionUnlessShown();
    // When the moved file was the current wallpaper, the new path takes its
    // place, persisted when the user profile named the old one: otherwise the
    // exit would apply a file that is gone.
    void WallpaperFileMoved(const std::string& from, const std::string& to, bool tile) override;

    void tbnSetWallpaperClick() override;
    void mnuSetWallpaper1Click() override;
    void imgDesktopClick() { mnuSetWallpaper1Click(); }
    void dbgrdInventoryDblClick() { mnuSetWallpaper1Click(); }
    void tbnNoneClick() override;
    void tbnFindInListClick() override { LocateCurrentWallpaper(); }
    void DisableThisWallpaperImage1Click(const void* sender) override;
    void mnuToggleTiledClick(const void* sender) override;
    // Pasting from the clipboard is not built yet: the item does nothing.

    const std::string& LastSavedWallpaper() const { return lastSavedWallpaper_.AsWritten(); }
    bool LastSavedTile() const { return lastSavedTile_; }
    const std::string& LastAppliedWallpaper() const { return lastAppliedWallpaper_.AsWritten(); }
    bool LastAppliedTile() const { return lastAppliedTile_; }

private:
    void SetFromList(bool moveSlideshow);
    // The picture a wallpaper path stands for: the rendition's source for the
    // program's own bitmap, when known; any other path as it is.
    std::string SourceOf(const std::string& systemPath) const;

    IWallpaperSystem& system_;
    TInventoryStore& inventory_;
    IUserInterface& ui_;
    IDesktopOptions& options_;
    IWallpaperCaptions& captions_;
    IWallpaperRenderer& renderer_;
    IRenditionRecord* renditionRecord_ = nullptr;
    ISlideControl* slides_ = nullptr;
    const ICaptureHistory* captures_ = nullptr;
    std::string baseCaption_;
    PicturePath lastSavedWallpaper_;
    bool lastSavedTile_ = true;
    PicturePath lastAppliedWallpaper_;
    bool lastAppliedTile_ = true;
    // Whether the last apply went to the desktop as a rendition.
    bool lastAppliedRendered_ = false;
    // What the program's own bitmap was rendered from in this run.
    PicturePath renditionSource_;
    // Counts the applies begun: one begun inside another's message pump is newer.
    unsigned appliesBegun_ = 0;
};

}  // namespace pictavo
