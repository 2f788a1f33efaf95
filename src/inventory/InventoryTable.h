// The in-memory picture inventory: records, an index on the lower-case key, and cursors.
// Pure C++ (no Windows headers) so it also builds natively for tests and benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Paths.h"

namespace pictavo {

// Stored widths; longer strings are cut to these when a record is stored.
inline constexpr std::size_t FileNameWidth = 129;
inline constexpr std::size_t LocationWidth = 129;
inline constexpr std::size_t GroupWidth = 10;
inline constexpr std::size_t LCLocationWidth = 129;
inline constexpr std::size_t LCFilenameWidth = 129;

// One picture. Fields in column order.
struct InventoryRecord {
    bool Enabled = false;
    bool Tile = true;
    std::string FileName;        // file name with extension, in the case given
    std::string Location;        // folder, in the case given, without trailing backslashes
    std::int32_t Size = 0;       // bytes
    std::int64_t Timestamp = 0;  // last write, local time, 100 ns units since 1601 (FILETIME)
    std::string Group;           // never written by the program
    std::int32_t Order = 0;
    std::string LCLocation;  // LowerCase(Location)
    std::string LCFilename;  // LowerCase(FileName)

    bool operator==(const InventoryRecord&) const = default;
};

// The index key: (LCFilename, LCLocation).
struct InventoryKey {
    std::string LCFilename;
    std::string LCLocation;

    bool operator==(const InventoryKey&) const = default;
};

// The lower-case file name and folder of a path (ExtractFileName, ExtractFileDir).
InventoryKey KeyOfPath(std::string_view path);

// Location + '\' + FileName, and the same from the lower-case fields.
std::string FullPath(const InventoryRecord& record);
std::string KeyPath(const InventoryRecord& record);

// What storing does to a record: trailing backslashes removed from Location, strings cut to
// their widths, LCFilename and LCLocation derived from FileName and Location.
void NormalizeRecord(InventoryRecord& record);

// Stable for the life of a record; a deleted record's id may be reused later.
using RecordId = std::uint32_t;
inline constexpr RecordId NoRecord = 0xFFFFFFFFu;

class InventoryCursor;

// Records in index order (LCFilename, then LCLocation, byte-wise ascending; equal keys in
// insertion order). Positions are 0-based. The index is a list of bounded sorted blocks, so
// insert, delete, seek, At and PositionOf all stay cheap at 100,000 records.
class InventoryTable {
public:
    static constexpr std::size_t DefaultBlockCapacity = 512;

    // blockCapacity only tunes the index (tests use tiny blocks to exercise splits).
    explicit InventoryTable(std::size_t blockCapacity = DefaultBlockCapacity);
    ~InventoryTable();
    InventoryTable(const InventoryTable&) = delete;
    InventoryTable& operator=(const InventoryTable&) = delete;

    std::size_t Count() const noexcept { return count_; }
    bool Empty() const noexcept { return count_ == 0; }

    // Every record passes through NormalizeRecord on the way in.
    RecordId Append(InventoryRecord record);
    // Replaces all fields; a changed key moves the record behind others with the same key.
    void Replace(RecordId id, InventoryRecord record);
    // Cursors on the record move to the following one (see InventoryCursor).
    void Delete(RecordId id);
    void Clear();
    // Replaces the whole content; O(n) when the records already come in index order.
    // Every cursor goes to the first record.
    void Assign(std::vector<InventoryRecord> records);

    // First record with exactly this key, or NoRecord.
    RecordId Seek(std::string_view lcFilename, std::string_view lcLocation) const;
    RecordId Seek(const InventoryKey& key) const { return Seek(key.LCFilename, key.LCLocation); }

    // NoRecord when position >= Count().
    RecordId At(std::size_t position) const;
    std::size_t PositionOf(RecordId id) const;
    bool Contains(RecordId id) const noexcept;
    // Throws std::out_of_range for an id not in the table. The reference stays valid until
    // the record is deleted (Replace changes its content in place).
    const InventoryRecord& Record(RecordId id) const;

    // Calls f(RecordId, const InventoryRecord&) in index order; f must not change the table.
    template <class F>
    void ForEachInOrder(F&& f) const {
        for (const auto& block : blocks_)
            for (RecordId id : block->ids) f(id, SlotOf(id).record);
    }

private:
    friend class InventoryCursor;

    struct Block {
        std::vector<RecordId> ids;
        std::uint32_t ordinal = 0;  // index in blocks_
    };
    struct Slot {
        InventoryRecord record;
        Block* block = nullptr;  // nullptr while the slot is free
    };

    Slot& SlotOf(RecordId id) noexcept;
    const Slot& SlotOf(RecordId id) const noexcept;
    const Slot& LiveSlot(RecordId id) const;
    RecordId AllocateSlot();
    void FreeSlot(RecordId id);
    std::size_t BlockFor(std::string_view lcFilename, std::string_view lcLocation,
                         bool afterEqual) const;
    void InsertIntoIndex(RecordId id);
    void RemoveFromIndex(RecordId id);
    void SplitBlock(std::size_t b);
    void MergeAfterRemoval(std::size_t b);
    void EraseBlock(std::size_t b);
    void Renumber(std::size_t fromBlock);
    void ResetCursors();

    std::size_t blockCapacity_;
    std::vector<std::unique_ptr<Slot[]>> pages_;  // pages never move, so records do not either
    std::uint32_t slotCount_ = 0;
    std::vector<RecordId> freeIds_;
    std::vector<std::unique_ptr<Block>> blocks_;  // in index order
    std::vector<std::uint32_t> starts_;           // position of each block's first record
    std::size_t count_ = 0;
    std::vector<InventoryCursor*> cursors_;
};

// A current record over a table, in the manner of a dataset: several cursors share one table
// and see each other's changes. Has a current record exactly when the table is not empty.
//  - Bof: after First, after Prior at the first record, or on an empty table.
//  - Eof: after Last, after Next at the last record, or on an empty table.
//  - When its record is deleted (through any cursor or the table) it moves to the following
//    record; if that was the last, to the new last with Eof set; none once the table is empty.
//  - A cursor with no record moves onto the first record appended.
class InventoryCursor {
public:
    // Starts on the first record.
    explicit InventoryCursor(InventoryTable& table);
    ~InventoryCursor();
    InventoryCursor(const InventoryCursor&) = delete;
    InventoryCursor& operator=(const InventoryCursor&) = delete;

    InventoryTable& Table() const;

    bool HasRecord() const noexcept { return id_ != NoRecord; }
    RecordId Id() const noexcept { return id_; }
    // Throws std::logic_error when there is no current record.
    const InventoryRecord& Record() const;

    void First();
    void Last();
    void Next();
    void Prior();
    bool Bof() const noexcept { return bof_; }
    bool Eof() const noexcept { return eof_; }

    // 1-based position in index order; 0 with no record.
    std::size_t RecNo() const;
    // Goes to the 0-based position (a list-view row). False, and stays put, when out of range.
    bool MoveTo(std::size_t position);
    // Goes to the record. Throws std::out_of_range for an id not in the table.
    void GoTo(RecordId id);
    // Goes to the first record with the key; false, and stays put, when there is none.
    bool Seek(std::string_view lcFilename, std::string_view lcLocation);
    bool Seek(const InventoryKey& key) { return Seek(key.LCFilename, key.LCLocation); }

    // Appends and goes to the new record.
    RecordId Append(InventoryRecord record);
    // Replaces the current record's fields; stays on it even when its position changes.
    void Post(InventoryRecord record);
    // Deletes the current record; moves as described above.
    void Delete();

private:
    friend class InventoryTable;
    InventoryTable& Attached() const;
    RecordId RequireRecord() const;
    void Land(RecordId id) noexcept;

    InventoryTable* table_;
    RecordId id_ = NoRecord;
    bool bof_ = true;
    bool eof_ = true;
};

}  // namespace pictavo
