#include "pictures/PictureActions.h"

#include "pictures/AddRules.h"
#include "platform/FileProbe.h"

namespace pictavo {
namespace {

bool AnythingAt(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TPictureActions::TPictureActions(Services services) : s_(services) {}

bool TPictureActions::Selected(InventoryRecord& record) {
    if (!s_.inventory.Open() || !s_.inventory.HasClones()) return false;
    InventoryCursor& list = s_.inventory.cdtInventory();
    if (!list.HasRecord()) return false;
    record = list.Record();
    return true;
}

// The questions let timer ticks run, and a slide tick takes the records of
// vanished files out of the list: by the answer the list may stand on another
// picture. So both commands note the picture first and act on its key alone.

void TPictureActions::tbnRemoveClick() {
    InventoryRecord record;
    if (!Selected(record)) return;
    if (s_.settings.AskBeforeRemoving() && !AskRemoveConfirmation(record)) return;
    InventoryCursor& data = s_.inventory.cdtData();
    if (!data.Seek(record.LCFilename, record.LCLocation)) return;  // gone meanwhile
    data.Delete();
    s_.inventory.ShowPictureCount();
    s_.inventory.ScheduleSave();
}

void TPictureActions::tbnDeleteClick() {
    InventoryRecord record;
    if (!Selected(record)) return;
    if (s_.settings.ConfirmDeleteDisk() && !AskDeleteConfirmation(record)) return;
    const std::string path = FullPath(record);
    InventoryCursor& data = s_.inventory.cdtData();
    if (!data.Seek(record.LCFilename, record.LCLocation)) return;  // gone meanwhile
    ::DeleteFileA(path.c_str());
    // A file that stays (read-only, held open by another program) or sits on a
    // drive that does not answer keeps its record: the list would otherwise
    // lose a picture that is still there. One that was gone already leaves
    // without a word.
    if (FileProbe::Probe(path) != FileProbe::State::Vanished) {
        s_.ui.ShowError("Unable to delete " + path);
        return;
    }
    data.Delete();
    s_.inventory.ShowPictureCount();
    s_.inventory.ScheduleSave();
}

bool TPictureActions::AskRemoveConfirmation(const InventoryRecord& record) {
    return s_.confirmation.Ask(
        s_.ui.MainWindow(), {"Remove File", "Remove this file from list?", record},
        [this](bool dontShowAgain) { s_.settings.SetAskBeforeRemoving(!dontShowAgain); });
}

bool TPictureActions::AskDeleteConfirmation(const InventoryRecord& record) {
    return s_.confirmation.Ask(
        s_.ui.MainWindow(), {"Delete File", "Delete this file from disk?", record},
        [this](bool dontShowAgain) { s_.settings.SetConfirmDeleteDisk(!dontShowAgain); });
}

void TPictureActions::tbnMoveClick() {
    InventoryRecord record;
    if (!Selected(record)) return;
    const std::string current = FullPath(record);
    bool tile = record.Tile;
    bool copy = false;
    // A picture in the data directory can only get a new name there.
    const bool inDataDirectory =
        SameTextIgnoringCase(record.Location, s_.inventory.DataDirectory());
    const uint8_t enabled =
        uint8_t(inDataDirectory ? kOptionLeave : kOptionLeave | kOptionMove | kOptionCopy);
    s_.adder.BeginAddBatch(false);
    std::string destination = current;
    if (!s_.adder.AskWallpaperOptions("Move/Rename Wallpaper", destination, true, false,
                                      kOptionLeave, enabled, copy, tile) ||
        !s_.adder.TransferPictureFile(current, destination, copy)) {
        return;
    }
    s_.inventory.StorePictureRecord(current, destination, false, true, tile);
    // The desktop and the registry may still name the file that just went.
    if (!SameTextIgnoringCase(current, destination) && !AnythingAt(current)) {
        s_.wallpaper.WallpaperFileMoved(current, destination, tile);
    }
}

void TPictureActions::mnuEdit1Click() {
    InventoryRecord record;
    if (!Selected(record)) return;
    s_.editor.EditPicture(record.Location, record.FileName);
}

}  // namespace pictavo
