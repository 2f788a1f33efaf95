#include "inventory/InventoryStore.h"

#include <vector>

#include "inventory/ListingLimits.h"
#include "inventory/TableFile.h"
#include "platform/Files.h"
#include "platform/Guard.h"

namespace pictavo {
namespace {

// Another program holding the file open usually lets go quickly (a virus
// scanner, a backup); wait that long before giving up on reading it.
constexpr int kReadAttempts = 10;
constexpr DWORD kReadRetryPause = 100;

// Said once, when the list could not be read at start; the saves of the run then stay quiet.
constexpr char kListLeftAlone[] =
    "Pictavo starts with an empty list and leaves the file as it is: changes to the list are not "
    "saved until Pictavo starts again.";

bool IsSharingError(DWORD code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
}

}  // namespace

TInventoryStore::TInventoryStore(TInputTimeout& inputTimeout, IUserInterface& ui,
                                 const IImageSizeLimit& limit)
    : inputTimeout_(inputTimeout), ui_(ui), limit_(limit) {}

void TInventoryStore::ScheduleSave(const void* sender) {
    inputTimeout_.Schedule(sender ? sender : this, [this](const void*) { SaveInventory(); });
}

TInventoryStore::~TInventoryStore() = default;

void TInventoryStore::SetTableFile(const std::string& dataDirectory, const std::string& fileName) {
    dataDirectory_ = dataDirectory;
    fileName_ = fileName;
}

std::string TInventoryStore::TableFilePath() const { return JoinPath(dataDirectory_, fileName_); }

void TInventoryStore::CreateTable() {
    cdtSlideShow_.reset();
    cdtInventory_.reset();
    table_.Clear();
    cdtData_ = std::make_unique<InventoryCursor>(table_);
    open_ = true;
    // Nothing the user made yet: an empty table owes the disk nothing.
    savedChanges_ = table_.Changes();
}

void TInventoryStore::MakeClones() {
    cdtInventory_ = std::make_unique<InventoryCursor>(table_);
    cdtSlideShow_ = std::make_unique<InventoryCursor>(table_);
}

void TInventoryStore::LoadInventory() {
    const std::string path = TableFilePath();
    if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            // No table yet (the first run): write the empty one now, so a file exists from here on.
            ScheduleSave();
            inputTimeout_.Flush();
        } else {
            // A drive that is not ready, a folder we may not look into: the
            // list may well be there, and an empty one must not replace it.
            fileProtected_ = true;
            ui_.Trace("LoadInventory: " + path + ": " + SystemErrorText(code));
            ui_.ShowError("Unable to read db " + path + " (" + SystemErrorText(code) + ").\r" +
                          kListLeftAlone);
        }
        ShowPictureCount();
        return;
    }

    std::string content;
    for (int attempt = 1;; ++attempt) {
        try {
            content = ReadWholeFile(path);
            break;
        } catch (const FileError& e) {
            if (IsSharingError(e.Code()) && attempt < kReadAttempts) {
                ::Sleep(kReadRetryPause);
                continue;
            }
            fileProtected_ = true;
            ui_.Trace("LoadInventory: " + std::string(e.what()));
            ui_.ShowError("Unable to read the picture list " + path + " (" +
                          SystemErrorText(e.Code()) + ").\r" + kListLeftAlone);
            ShowPictureCount();
            return;
        }
    }

    // Taken over as the table's storage when accepted; left as it was when refused.
    std::string refusal = LoadTable(std::move(content), table_);
    if (refusal.empty()) savedChanges_ = table_.Changes();
    if (!refusal.empty()) {
        KeepUnreadableFile(path, content, refusal);
        if (!fileProtected_) {
            ScheduleSave();
            inputTimeout_.Flush();
        }
    }
    ShowPictureCount();
}

void TInventoryStore::KeepUnreadableFile(const std::string& path, const std::string& content,
                                         const std::string& reason) {
    // The file may hold the user's only copy of the list: never write over it.
    const std::string aside = FirstFreeName(path + ".bad");
    bool kept = ::MoveFileA(path.c_str(), aside.c_str()) != 0;
    if (!kept) {
        try {
            WriteFileAtomically(aside, content);
            kept = true;
        } catch (const FileError& e) {
            ui_.Trace("LoadInventory: " + std::string(e.what()));
        }
    }
    if (kept) {
        ui_.ShowError("The picture list " + path + " could not be read (" + reason +
                      ").\rIt was kept as " + aside + " and Pictavo starts with an empty list.");
    } else {
        fileProtected_ = true;
        ui_.ShowError("The picture list " + path + " could not be read (" + reason + ").\r" +
                      kListLeftAlone);
    }
}

void TInventoryStore::SaveInventory() {
    if (!open_) return;
    if (fileProtected_) {
        // The user was told at start; a message on every save would only repeat it.
        ui_.Trace("SaveInventory: the table file could not be read at start; not overwritten");
        return;
    }
    const std::uint64_t changes = table_.Changes();
    try {
        WriteFileAtomically(TableFilePath(), SerializeTable(table_));
    } catch (const FileError& e) {
        ui_.Trace("SaveInventory: " + std::string(e.what()));
        // Every later save point tries again; the user hears of it once.
        if (saveFailing_) return;
        saveFailing_ = true;
        ui_.ShowError("Unable to save db " + TableFilePath() + " (" + SystemErrorText(e.Code()) +
                      ").");
        return;
    }
    savedChanges_ = changes;
    saveFailing_ = false;
}

bool TInventoryStore::HasUnsavedChanges() const {
    return open_ && !fileProtected_ && table_.Changes() != savedChanges_;
}

void TInventoryStore::SaveUnsavedChanges() {
    if (HasUnsavedChanges()) SaveInventory();
}

void TInventoryStore::RelocateRecords(const std::string& formerDirectory) {
    struct ScheduleSaveOnExit {
        TInventoryStore& store;
        ~ScheduleSaveOnExit() { store.ScheduleSave(); }
    } scheduleSave{*this};

    // Moving a record to the new folder changes its key and so its place in the
    // index; collect the records first rather than walk an order that shifts.
    std::vector<RecordId> moved;
    table_.ForEachInOrder([&](RecordId id, const RecordView& record) {
        if (record.LCLocation == formerDirectory) moved.push_back(id);
    });
    for (RecordId id : moved) {
        InventoryRecord record = table_.Record(id);
        if (FileExists(JoinPath(dataDirectory_, record.FileName))) {
            record.Location = dataDirectory_;  // the table derives LCLocation
            table_.Replace(id, std::move(record));
        } else {
            table_.Delete(id);
        }
    }
    ShowPictureCount();
}

bool TInventoryStore::IsInInventory(const PicturePath& path) {
    if (path.Empty()) return false;
    if (IsOwnWallpaper(path)) return true;
    return cdtData_->Seek(KeyOfPath(path));
}

bool TInventoryStore::IsInInventoryWithTile(const PicturePath& path, bool tile) {
    if (path.Empty()) return false;
    if (IsOwnWallpaper(path)) return true;
    return cdtData_->Seek(KeyOfPath(path)) && cdtData_->Record().Tile == tile;
}

bool TInventoryStore::SelectInList(const PicturePath& path) {
    if (!cdtInventory_) return false;
    bool found = cdtInventory_->Seek(KeyOfPath(path));
    if (found && preview_) preview_->RefreshPreview();
    return found;
}

void TInventoryStore::SyncSlideShowCursor() {
    if (!cdtInventory_ || !cdtInventory_->HasRecord()) return;
    const InventoryRecord& current = cdtInventory_->Record();
    cdtSlideShow_->Seek(current.LCFilename, current.LCLocation);
}

bool TInventoryStore::StorePictureRecord(const PicturePath& source, const PicturePath& destination,
                                         bool keepTile, bool enabled, bool tile) {
    const std::string fileName = destination.Name();
    const std::string folder = destination.Folder();
    if (const std::string refusal = ListingRefusal(destination.AsWritten()); !refusal.empty()) {
        ui_.ShowError(refusal);
        return false;
    }
    // Read before touching the table, so a failure leaves no half-filled record.
    const FileStamp stamp = ReadFileStamp(destination.AsWritten());
    const std::int32_t size = StoredSize(stamp.size);

    InventoryCursor& data = *cdtData_;
    bool found = data.Seek(KeyOfPath(destination));
    if (!found && !source.Empty()) found = data.Seek(KeyOfPath(source));

    bool changed = false;
    if (found) {
        InventoryRecord record = data.Record();
        auto set = [&changed](auto& field, const auto& value) {
            if (field != value) {
                field = value;
                changed = true;
            }
        };
        set(record.Enabled, enabled);
        set(record.Size, size);
        set(record.Timestamp, stamp.localTime);
        if (!keepTile) set(record.Tile, tile);
        // The table derives LCLocation and LCFilename from these.
        set(record.Location, folder);
        set(record.FileName, fileName);
        if (changed) data.Post(std::move(record));
    } else {
        InventoryRecord record;
        record.Enabled = enabled;
        record.Size = size;
        record.Location = folder;
        record.Timestamp = stamp.localTime;
        record.Order = 0;
        record.Tile = tile;
        record.FileName = fileName;
        data.Append(std::move(record));
        changed = true;
    }
    if (changed && batchDepth_ > 0) {
        batchChanged_ = true;
    } else if (changed) {
        ShowPictureCount();
        ScheduleSave();
    }
    return changed;
}

TInventoryStore::Batch::~Batch() {
    if (--store_.batchDepth_ > 0 || !store_.batchChanged_) return;
    store_.batchChanged_ = false;
    // Each can fail on its own; neither may keep the other from running.
    Guarded([this] { store_.ShowPictureCount(); });
    Guarded([this] { store_.ScheduleSave(); });
}

bool TInventoryStore::cdtInventoryCalcFields(const InventoryRecord& record) const {
    return limit_.LimitImageSize() &&
           static_cast<int64_t>(record.Size) > static_cast<int64_t>(limit_.MaxImageSize()) * 1000;
}

void TInventoryStore::ShowPictureCount() {
    if (preview_) preview_->InventoryChanged();
    ui_.ShowHint(open_ ? std::to_string(table_.Count()) + " Pictures in List" : std::string());
}

const PicturePath& TInventoryStore::OwnWallpaperPath() {
    // Started by its short (8.3) path, the program would otherwise take the
    // bitmap the desktop shows, named in the long form, for another file.
    static const PicturePath path(ChangeFileExt(LongPathName(ExePath()), ".bmp"));
    return path;
}

bool TInventoryStore::IsOwnWallpaper(const PicturePath& path) {
    if (path.SameFile(OwnWallpaperPath())) return true;
    // A short name the system made differs from its long name only with a
    // tilde in it; other paths need no look at the disk.
    if (path.AsWritten().find('~') == std::string::npos) return false;
    return OwnWallpaperPath().SameFile(LongPathName(path.AsWritten()));
}

}  // namespace pictavo
