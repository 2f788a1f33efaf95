#include "desktop/DesktopWallpaper.h"

#include <optional>

#include "desktop/RenditionRules.h"
#include "imaging/PictureFormats.h"
#include "platform/Files.h"
#include "platform/Handles.h"

namespace pictavo {
namespace {

// From the header alone: the bitmap path stays free of decoding.
std::optional<PixelSize> ReadBitmapSize(const std::string& path) {
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    char bytes[32];  // the file header and the bitmap header's sizes
    DWORD read = 0;
    if (!::ReadFile(file.Get(), bytes, sizeof(bytes), &read, nullptr)) return std::nullopt;
    return HeaderPixelSize(std::string_view(bytes, read));
}

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

// The program's own bitmap as it was before a new rendering went over it, kept
// until the system has taken the new one: a wallpaper it refuses leaves the
// bitmap the desktop showed. A second name for the same file costs no copy; a
// volume without such names gets a copy.
class EarlierBitmap {
public:
    explicit EarlierBitmap(std::string path) : path_(std::move(path)) {
        existed_ = FileExists(path_);
        if (!existed_) return;
        kept_ = FirstFreeName(path_ + ".~old");
        if (!::CreateHardLinkA(kept_.c_str(), path_.c_str(), nullptr) &&
            !::CopyFileA(path_.c_str(), kept_.c_str(), TRUE)) {
            kept_.clear();
        }
    }
    ~EarlierBitmap() {
        if (!kept_.empty()) ::DeleteFileA(kept_.c_str());
    }
    EarlierBitmap(const EarlierBitmap&) = delete;
    EarlierBitmap& operator=(const EarlierBitmap&) = delete;

    // Puts the earlier bitmap back, or removes the new one when there was none.
    // Returns false when that could not be done.
    bool Restore() {
        if (!existed_) {
            return ::DeleteFileA(path_.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
        }
        if (kept_.empty() || !::MoveFileExA(kept_.c_str(), path_.c_str(),
                                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return false;
        }
        kept_.clear();
        return true;
    }

private:
    std::string path_;
    std::string kept_;  // empty when nothing is kept
    bool existed_ = false;
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
                                     IWallpaperCaptions& captions, std::string baseCaption,
                                     IWallpaperRenderer& renderer)
    : system_(system),
      inventory_(inventory),
      ui_(ui),
      options_(options),
      captions_(captions),
      renderer_(renderer),
      baseCaption_(std::move(baseCaption)) {}

bool TDesktopWallpaper::ApplyWallpaper(const std::string& path, bool tile, bool persist,
                                       Failure report) {
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

    // What the system cannot take as it is goes as the program's own bitmap;
    // that bitmap itself always goes as it is.
    const PicturePath& own = TInventoryStore::OwnWallpaperPath();
    std::string systemPath = path;
    bool rendered = false;
    std::optional<EarlierBitmap> earlier;
    PicturePath earlierSource;
    std::string earlierRecord;
    if (!path.empty() && !TInventoryStore::IsOwnWallpaper(path)) {
        const bool isBitmap = IsBitmapFileName(path);
        const bool shrink = options_.ShrinkToFit();
        const PixelSize screen = renderer_.ScreenSize();
        std::optional<PixelSize> size;
        if (PlanNeedsBitmapSize(isBitmap, tile, shrink)) size = ReadBitmapSize(path);
        const WallpaperPlan plan = PlanWallpaper(isBitmap, size, tile, shrink, screen);
        if (plan.render) {
            earlier.emplace(own.AsWritten());
            const RenderedBitmap rendition =
                renderer_.RenderBitmapFile(path, plan.fitWithin, own.AsWritten());
            if (!rendition.Succeeded()) {
                ui_.Trace("Unable to set " + path + " as the wallpaper: " + rendition.reason +
                          ", HRESULT " + DescribeHResult(rendition.result));
                if (report == Failure::Show) {
                    // Read but not written (a full volume, a read-only file):
                    // the picture is not at fault, and the user can mend it.
                    // Nor is a picture too large for the memory left.
                    std::string why = "the picture cannot be read.";
                    if (rendition.writeError != 0) {
                        why = "the desktop's bitmap " + own.AsWritten() +
                              " cannot be written: " + SystemErrorText(rendition.writeError);
                    } else if (ForWantOfMemory(rendition.result)) {
                        why = NotEnoughMemoryText(rendition.upright) + ".";
                    }
                    ui_.ShowError("Unable to set " + path + " as the wallpaper: " + why);
                }
                return false;
            }
            // Known before the call: the settings-change broadcast it sends
            // reaches the program's own window inside it, and detection asks
            // what the bitmap stands for.
            earlierSource = renditionSource_;
            renditionSource_ = path;
            if (renditionRecord_) {
                earlierRecord = renditionRecord_->RenditionSource();
                renditionRecord_->SetRenditionSource(path);
            }
            systemPath = own.AsWritten();
            rendered = true;
        }
    }

    // Written before the call, and also when the change is not persisted.
    const std::optional<IWallpaperSystem::DesktopValues> before = system_.ReadDesktop();
    system_.WriteTile(tile);
    ui_.ProcessMessages();
    if (appliesBegun_ != apply) return true;
    UINT fWinIni = 0;
    if (persist) {
        fWinIni = options_.SendChangeNotification() ? (SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE)
                                                    : SPIF_UPDATEINIFILE;
    }
    DWORD error = ERROR_SUCCESS;
    if (!system_.SetDeskWallpaper(systemPath, fWinIni, error)) {
        // The desktop keeps what it showed: so do the tile mode, the bitmap,
        // the captions and what the program remembers.
        if (before) system_.WriteTile(before->tileWallpaper != "0");
        if (rendered) {
            if (!earlier->Restore()) {
                ui_.Trace("Unable to put back the earlier " + own.AsWritten() + ": " +
                          SystemErrorText(::GetLastError()));
            }
            renditionSource_ = earlierSource;
            if (renditionRecord_) renditionRecord_->SetRenditionSource(earlierRecord);
        }
        const std::string message =
            "Unable to set " + (path.empty() ? std::string("(none)") : path) +
            " as the wallpaper: Windows refused it" +
            (error == ERROR_SUCCESS ? std::string(".") : " (" + SystemErrorText(error) + ").");
        ui_.Trace(message);
        if (report == Failure::Show) ui_.ShowError(message);
        return false;
    }
    if (persist) {
        lastSavedWallpaper_ = path;
        lastSavedTile_ = tile;
    }
    lastAppliedWallpaper_ = path;
    ShowWallpaperName(path.empty() ? std::string("(none)") : ExtractFileName(path));
    lastAppliedTile_ = tile;
    lastAppliedRendered_ = rendered;
    return true;
}

std::string TDesktopWallpaper::SourceOf(const std::string& systemPath) const {
    if (!TInventoryStore::IsOwnWallpaper(systemPath)) return systemPath;
    std::string source = renditionSource_.AsWritten();
    if (source.empty() && renditionRecord_) source = renditionRecord_->RenditionSource();
    return source.empty() ? systemPath : source;
}

void TDesktopWallpaper::DisplayChanged() {
    std::optional<IWallpaperSystem::DesktopValues> values = system_.ReadDesktop();
    const bool profileNamesOwn =
        values && TInventoryStore::IsOwnWallpaper(values->wallpaper);
    if (!lastAppliedRendered_ && !profileNamesOwn) return;
    const Wallpaper current = GetCurrentWallpaper();
    // A rendition whose source is unknown cannot be made again.
    if (current.path.empty() || TInventoryStore::IsOwnWallpaper(current.path)) return;
    ApplyWallpaper(current.path, current.tile, profileNamesOwn, Failure::Trace);
}

void TDesktopWallpaper::DeleteRenditionUnlessShown() {
    const PicturePath& own = TInventoryStore::OwnWallpaperPath();
    std::optional<IWallpaperSystem::DesktopValues> values = system_.ReadDesktop();
    // Kept too when the profile cannot be read: it may name the bitmap.
    if (!values || TInventoryStore::IsOwnWallpaper(values->wallpaper)) return;
    ::DeleteFileA(own.AsWritten().c_str());
}

std::string TDesktopWallpaper::ReadDesktopWallpaper(bool& tile) {
    std::optional<IWallpaperSystem::DesktopValues> values = system_.ReadDesktop();
    if (!values) return {};
    std::string path = SourceOf(values->wallpaper);
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
