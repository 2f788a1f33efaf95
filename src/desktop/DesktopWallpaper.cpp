#include "desktop/DesktopWallpaper.h"

namespace pictavo {
namespace {

// The hourglass for the length of a scope.
class WaitCursor {
public:
    WaitCursor() : previous_(::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)))) {}
    ~WaitCursor() { ::SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

// Hands the inventory save over when a record edit ends, whether it worked or not.
struct ScheduleSaveOnExit {
    TInventoryStore& inventory;
    const void* sender;
    ~ScheduleSaveOnExit() { inventory.ScheduleSave(sender); }
};

}  // namespace

TDesktopWallpaper::TDesktopWallpaper(IWallpaperSystem& system, TInventoryStore& inventory,
                                     IUserInterface& ui, IDesktopOptions& options,
                                     IWallpaperCaptions& captions, std::string baseCaption)
    : system_(system),
      inventory_(inventory),
      ui_(ui),
      options_(options),
      captions_(captions),
      baseCaption_(std::move(baseCaption)) {}

bool TDesktopWallpaper::ApplyWallpaper(const std::string& path, bool tile, bool persist) {
    if (path.size() > kMaxWallpaperPath) {
        // Cut short, the path would name another file or none at all.
        ui_.ShowError("Unable to set " + path + " as the wallpaper: its path is longer than " +
                      std::to_string(kMaxWallpaperPath) + " characters.");
        return false;
    }
    WaitCursor hourglass;
    // Waiting messages run here (a menu command, a timer tick) and may apply
    // a wallpaper of their own: that later choice stands, this one is dropped.
    const unsigned apply = ++appliesBegun_;
    ui_.ProcessMessages();
    if (appliesBegun_ != apply) return true;
    // Written before the call, and also when the change is not persisted.
    system_.WriteTile(tile);
    ui_.ProcessMessages();
    if (appliesBegun_ != apply) return true;
    UINT fWinIni = 0;
    if (persist) {
        fWinIni = options_.SendChangeNotification() ? (SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE)
                                                    : SPIF_UPDATEINIFILE;
    }
    system_.SetDeskWallpaper(path, fWinIni);
    if (persist) {
        lastSavedWallpaper_ = path;
        lastSavedTile_ = tile;
    }
    lastAppliedWallpaper_ = path;
    ShowWallpaperName(path.empty() ? std::string("(none)") : ExtractFileName(path));
    lastAppliedTile_ = tile;
    return true;
}

std::string TDesktopWallpaper::ReadDesktopWallpaper(bool& tile) {
    std::optional<IWallpaperSystem::DesktopValues> values = system_.ReadDesktop();
    if (!values) return {};
    std::string path = values->wallpaper;
    tile = values->tileWallpaper != "0";
    if (lastSavedWallpaper_.Empty()) {
        lastSavedWallpaper_ = path;
        lastSavedTile_ = tile;
    }
    return path;
}

TDesktopWallpaper::Wallpaper TDesktopWallpaper::GetCurrentWallpaper(bool presetTile) {
    Wallpaper result;
    result.tile = presetTile;
    const PicturePath registry = ReadDesktopWallpaper(result.tile);
    if (!registry.SameFile(lastSavedWallpaper_)) {
        result.path = registry.AsWritten();  // somebody else changed the saved wallpaper
    } else if (!lastAppliedWallpaper_.Empty()) {
        // A change of ours that was not persisted wins over the profile.
        result.path = lastAppliedWallpaper_.AsWritten();
        result.tile = lastAppliedTile_;
    } else {
        result.path = lastSavedWallpaper_.AsWritten();
        result.tile = lastSavedTile_;
    }
    ShowWallpaperName(ExtractFileName(result.path));
    return result;
}

bool TDesktopWallpaper::LocateCurrentWallpaper() {
    PicturePath path = GetCurrentWallpaper().path;
    if (captures_ && !path.Empty() && path.SameFile(captures_->LastCapturedSource())) {
        path = captures_->LastCapturedDestination();
    }
    return inventory_.SelectInList(path);
}

void TDesktopWallpaper::WallpaperFileMoved(const std::string& from, const std::string& to,
                                           bool tile) {
    const PicturePath old = from;
    if (old.Empty()) return;
    bool profileTile = true;
    const bool profileNamesOld = old.SameFile(ReadDesktopWallpaper(profileTile));
    if (!old.SameFile(GetCurrentWallpaper().path)) return;
    ApplyWallpaper(to, tile, profileNamesOld);
}

void TDesktopWallpaper::ShowWallpaperName(const std::string& name) {
    captions_.SetCaptions(name.empty() ? baseCaption_ : name + " - " + baseCaption_);
}

void TDesktopWallpaper::SetFromList(bool moveSlideshow) {
    if (moveSlideshow) inventory_.SyncSlideShowCursor();
    if (slides_) slides_->RestartSlideCountdown();
    InventoryCursor& list = inventory_.cdtInventory();
    if (!list.HasRecord()) return;
    const InventoryRecord& record = list.Record();
    ApplyWallpaper(FullPath(record), record.Tile, true);
}

void TDesktopWallpaper::tbnSetWallpaperClick() { SetFromList(true); }

void TDesktopWallpaper::mnuSetWallpaper1Click() { SetFromList(options_.SyncWithManualChange()); }

void TDesktopWallpaper::tbnNoneClick() {
    options_.UncheckAutoChange();
    ApplyWallpaper("", true, true);
}

void TDesktopWallpaper::DisableThisWallpaperImage1Click(const void* sender) {
    if (LocateCurrentWallpaper()) {
        ScheduleSaveOnExit save{inventory_, sender};
        InventoryCursor& list = inventory_.cdtInventory();
        InventoryRecord record = list.Record();
        record.Enabled = false;
        list.Post(std::move(record));
        inventory_.SyncSlideShowCursor();
    }
    if (slides_) slides_->ShowNextSlide();
}

void TDesktopWallpaper::mnuToggleTiledClick(const void* sender) {
    if (!LocateCurrentWallpaper()) return;
    ScheduleSaveOnExit save{inventory_, sender};
    InventoryCursor& list = inventory_.cdtInventory();
    InventoryRecord record = list.Record();
    record.Tile = !record.Tile;
    list.Post(std::move(record));
    mnuSetWallpaper1Click();
}

}  // namespace pictavo
