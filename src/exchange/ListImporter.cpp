#include "exchange/ListImporter.h"

#include "exchange/ListFile.h"
#include "platform/Files.h"
#include "platform/FlagScope.h"
#include "platform/Guard.h"

namespace pictavo {
namespace {

const char kNotFound[] = "File not found to import: ";

class DropRelease {
public:
    explicit DropRelease(HDROP drop) : drop_(drop) {}
    ~DropRelease() { ::DragFinish(drop_); }
    DropRelease(const DropRelease&) = delete;
    DropRelease& operator=(const DropRelease&) = delete;

private:
    HDROP drop_;
};

}  // namespace

std::vector<std::string> TListImporter::DroppedNames(HDROP drop) {
    std::vector<std::string> names;
    const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    names.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        // A name cut short could name another file, which might then be moved.
        const UINT length = ::DragQueryFileA(drop, i, nullptr, 0);
        std::string name(length + 1, '\0');
        const UINT got = ::DragQueryFileA(drop, i, name.data(), length + 1);
        name.resize(got);
        names.push_back(std::move(name));
    }
    return names;
}

void TListImporter::WMDropFiles(HDROP drop) {
    DropRelease release(drop);
    s_.ui.Trace("FrmMain: WMDropFiles");
    const DroppedFiles dropped = SortDroppedFiles(DroppedNames(drop));
    if (!dropped.pictures.empty()) s_.adder.AddPictureFiles(dropped.pictures, false);
    if (!dropped.lists.empty()) ImportListFiles(dropped.lists);
}

void TListImporter::ImportListFiles(const std::vector<std::string>& lists) {
    FlagHold busy(s_.flags.detectionBusy);
    FlagHold suspended(s_.flags.previewSuspended);
    struct Finish {
        TListImporter& importer;
        ~Finish() {
            Guarded([this] {
                importer.s_.progress.End();
                importer.s_.inventory.ScheduleSave();
            });
        }
    } finish{*this};
    // Every picture of every list ends in one count and one save.
    TInventoryStore::Batch batch(s_.inventory);
    TPictureAdder::BulkScope bulk(s_.adder);
    // Each picture keeps the tile mode its list gives, whatever the first one was set to.
    s_.adder.BeginAddBatch(true, true);

    // Read each list once, up front, to size the progress bar.
    std::vector<std::pair<std::string, std::vector<ListEntry>>> read;
    size_t total = 0;
    for (const std::string& list : lists) {
        if (!FileExists(list)) continue;
        std::string text;
        try {
            text = ReadWholeFile(list);
        } catch (const FileError& e) {
            // Gone (or locked) since it was dropped: passed over like a missing one.
            s_.ui.Trace(e.what());
            continue;
        }
        auto entries = ReadListText(text);
        total += entries.size();
        read.emplace_back(list, std::move(entries));
    }
    if (total == 0) return;
    s_.progress.Begin(static_cast<int>(total - 1));
    size_t done = 0;
    for (const auto& [list, entries] : read) {
        const std::string folder = ExtractFileDir(list);
        for (const ListEntry& entry : entries) {
            if (!IsPlainListName(entry.fileName)) {
                // A list names only pictures beside it: nothing elsewhere is
                // added, let alone moved.
                s_.ui.ShowError(kNotFound + entry.fileName);
            } else {
                const std::string path = folder + "\\" + entry.fileName;
                if (FileExists(path)) {
                    s_.adder.AddPictureFile(path, entry.tile);
                } else {
                    s_.ui.ShowError(kNotFound + path);
                }
            }
            s_.progress.SetPosition(static_cast<int>(done++));
        }
    }
}

}  // namespace pictavo
