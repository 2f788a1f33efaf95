#pragma once
// The inventory as the program uses it: the table with its three cursors, its
// file in the data directory, lookups by path and the add-or-update of one
// picture. Saves are never done on the spot: every change hands the save to
// the deferred-action component.
#include <windows.h>

#include <cstdint>
#include <string>

#include "inventory/InventoryTable.h"
#include "platform/InputTimeout.h"
#include "platform/UserInterface.h"

namespace pictavo {

// The wallpaper size limit on the "&Slideshow" page: whether it is on, and
// its number of thousands of bytes.
class IImageSizeLimit {
public:
    virtual ~IImageSizeLimit() = default;
    virtual bool LimitImageSize() const = 0;
    virtual int MaxImageSize() const = 0;
};

// Told when the list's current picture changed.
class IPreviewRefresh {
public:
    virtual ~IPreviewRefresh() = default;
    virtual void RefreshPreview() = 0;
    // Records came, went or changed: the list shows them anew.
    virtual void InventoryChanged() = 0;
};

class TInventoryStore {
public:
    TInventoryStore(TInputTimeout& inputTimeout, IUserInterface& ui, const IImageSizeLimit& limit);
    // The preview, once there is one, follows the list's current picture.
    void AttachPreview(IPreviewRefresh* preview) { preview_ = preview; }
    ~TInventoryStore();

    // The file's place: the data directory and the table file name.
    void SetTableFile(const std::string& dataDirectory, const std::string& fileName);
    const std::string& DataDirectory() const { return dataDirectory_; }
    std::string TableFilePath() const;

    // Creates the empty in-memory table and opens it.
    void CreateTable();
    bool Open() const { return open_; }
    // Makes cdtInventory and cdtSlideShow, over cdtData's records.
    void MakeClones();

    void LoadInventory();
    // Writes the whole table. A failure is told once per run of failures (the
    // next success re-arms the message) and leaves the changes unsaved.
    void SaveInventory();
    // Whether the table holds changes the file does not: set by every change,
    // cleared only by a save that succeeded.
    bool HasUnsavedChanges() const;
    // The save points that need no change of their own (the end of the
    // program, the end of the session) write what an earlier save left behind.
    void SaveUnsavedChanges();
    void RelocateRecords(const std::string& formerDirectory);

    bool IsInInventory(const PicturePath& path);
    bool IsInInventoryWithTile(const PicturePath& path, bool tile);
    bool SelectInList(const PicturePath& path);
    void SyncSlideShowCursor();
    bool StorePictureRecord(const PicturePath& source, const PicturePath& destination,
                            bool keepTile, bool enabled, bool tile);
    // The calculated field of the list's cursor.
    bool cdtInventoryCalcFields(const InventoryRecord& record) const;
    void ShowPictureCount();

    // While one lives, stored pictures neither show the count nor hand over a
    // save each: the outermost one does both once at its end, if anything
    // changed. A batch of thousands of files then costs one label change and
    // one timer restart instead of one per picture.
    class Batch {
    public:
        explicit Batch(TInventoryStore& store) : store_(store) { ++store_.batchDepth_; }
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        TInventoryStore& store_;
    };
    // Hands SaveInventory to the deferred-action component, on behalf of the
    // program or of the control whose edit asks for it.
    void ScheduleSave(const void* sender = nullptr);

    // The program's own wallpaper bitmap: the program's path, in its long
    // form, with ".bmp".
    static const PicturePath& OwnWallpaperPath();
    // Whether the path names that bitmap, also in a short (8.3) form.
    static bool IsOwnWallpaper(const PicturePath& path);

    InventoryTable& Table() { return table_; }
    InventoryCursor& cdtData() { return *cdtData_; }
    InventoryCursor& cdtInventory() { return *cdtInventory_; }
    InventoryCursor& cdtSlideShow() { return *cdtSlideShow_; }
    bool HasClones() const { return cdtInventory_ != nullptr; }

private:
    void KeepUnreadableFile(const std::string& path, const std::string& content,
                            const std::string& reason);

    TInputTimeout& inputTimeout_;
    IUserInterface& ui_;
    const IImageSizeLimit& limit_;
    IPreviewRefresh* preview_ = nullptr;
    std::string dataDirectory_;
    std::string fileName_ = "GDB.CDS";
    InventoryTable table_;
    std::unique_ptr<InventoryCursor> cdtData_;
    std::unique_ptr<InventoryCursor> cdtInventory_;
    std::unique_ptr<InventoryCursor> cdtSlideShow_;
    bool open_ = false;
    int batchDepth_ = 0;
    bool batchChanged_ = false;
    // Set when the table file exists but could not be read at all (locked,
    // access denied): saving over it would destroy a list we never saw.
    bool fileProtected_ = false;
    // The table's change count when the file last matched it.
    std::uint64_t savedChanges_ = 0;
    // The last save failed: its message has been shown.
    bool saveFailing_ = false;
};

}  // namespace pictavo
