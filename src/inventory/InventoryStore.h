#pragma once
// The inventory as the program uses it: the table with its three cursors, its
// file in the data directory, lookups by path and the add-or-update of one
// picture. Saves are never done on the spot: every change hands the save to
// the host's deferred-action component.
#include <windows.h>

#include <string>

#include "inventory/InventoryTable.h"

namespace pictavo {

// What the store needs from the window that owns it.
class IInventoryHost {
public:
    virtual ~IInventoryHost() = default;
    // Hands SaveInventory to the deferred-action component, on behalf of the program.
    virtual void ScheduleInventorySave() = 0;
    virtual void FlushDeferredActions() = 0;
    // Brings the main window to the foreground and shows the message.
    virtual void ShowError(const std::string& message) = 0;
    virtual void ShowHint(const std::string& text) = 0;
    // The wallpaper size limit: whether it is on, and its number of thousands of bytes.
    virtual bool LimitImageSize() const = 0;
    virtual int MaxImageSize() const = 0;
    // The list's current picture changed.
    virtual void RefreshPreview() = 0;
    // Records came, went or changed: the list shows them anew.
    virtual void InventoryChanged() {}
    virtual void Trace(const std::string& text) = 0;
};

class TInventoryStore {
public:
    explicit TInventoryStore(IInventoryHost& host);
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
    void SaveInventory();
    void RelocateRecords(const std::string& formerDirectory);

    bool IsInInventory(const std::string& path);
    bool IsInInventoryWithTile(const std::string& path, bool tile);
    bool SelectInList(const std::string& path);
    void SyncSlideShowCursor();
    bool StorePictureRecord(const std::string& source, const std::string& destination,
                            bool keepTile, bool enabled, bool tile);
    // The calculated field of the list's cursor.
    bool cdtInventoryCalcFields(const InventoryRecord& record) const;
    void ShowPictureCount();
    // Hands a save to the deferred-action component on behalf of the program.
    void ScheduleSave() { host_.ScheduleInventorySave(); }

    // The program's own wallpaper bitmap: the program's path with ".bmp", lower case.
    static std::string OwnWallpaperPath();

    InventoryTable& Table() { return table_; }
    InventoryCursor& cdtData() { return *cdtData_; }
    InventoryCursor& cdtInventory() { return *cdtInventory_; }
    InventoryCursor& cdtSlideShow() { return *cdtSlideShow_; }
    bool HasClones() const { return cdtInventory_ != nullptr; }

private:
    void KeepUnreadableFile(const std::string& path, const std::string& content,
                            const std::string& reason);

    IInventoryHost& host_;
    std::string dataDirectory_;
    std::string fileName_ = "GDB.CDS";
    InventoryTable table_;
    std::unique_ptr<InventoryCursor> cdtData_;
    std::unique_ptr<InventoryCursor> cdtInventory_;
    std::unique_ptr<InventoryCursor> cdtSlideShow_;
    bool open_ = false;
    // Set when the table file exists but could not be read at all (locked,
    // access denied): saving over it would destroy a list we never saw.
    bool fileProtected_ = false;
};

}  // namespace pictavo
