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
#include "platform/PicturePath.h"

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
InventoryKey KeyOfPath(const PicturePath& path);

// Location + '\' + FileName: the path as written, the one the system gets.
std::string FullPath(const InventoryRecord& record);

// What storing does to a record: trailing backslashes removed from Location, strings cut to
// their widths, LCFilename and LCLocation derived from FileName and Location.
void NormalizeRecord(InventoryRecord& record);

// A record as the table holds it: views into the table's own storage, valid until the table
// changes (any append, post, delete or load). Copy it into an InventoryRecord to keep it.
struct RecordView {
    bool Enabled = false;
    bool Tile = true;
    std::string_view FileName;
    std::string_view Location;
    std::int32_t Size = 0;
    std::int64_t Timestamp = 0;
    std::string_view Group;
    std::int32_t Order = 0;
    std::string_view LCLocation;
    std::string_view LCFilename;

    InventoryRecord ToRecord() const;
};

std::string FullPath(const RecordView& record);

// Stable for the life of a record; a deleted record's id may be reused later.
using RecordId = std::uint32_t;
inline constexpr RecordId NoRecord = 0xFFFFFFFFu;

class InventoryCursor;

// Records in index order (LCFilename, then LCLocation, byte-wise ascending; equal keys in
// insertion order). Positions are 0-based.
//
// Each record is kept as its table-file encoding (RecordEncoding.h) in a few large blocks of
// memory, so a loaded file is taken over as it is and a save copies bytes. A hash of the key
// answers Seek; a list of bounded sorted blocks of ids gives the order, so insert, delete, At
// and PositionOf stay cheap at 100,000 records.
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
    // Counts every change of the content, through the table or any cursor: a
    // different number than at the last save means the file is behind.
    std::uint64_t Changes() const noexcept { return changes_; }

    // Every record passes through NormalizeRecord on the way in.
    RecordId Append(InventoryRecord record);
    // Replaces all fields; a changed key moves the record behind others with the same key.
    void Replace(RecordId id, InventoryRecord record);
    // Cursors on the record move to the following one (see InventoryCursor).
    void Delete(RecordId id);
    void Clear();
    // Replaces the whole content; every cursor goes to the first record.
    void Assign(std::vector<InventoryRecord> records);
    // Replaces the whole content with `count` records encoded back to back in
    // bytes[begin, end), as the table file holds them, taking the buffer over rather than
    // copying it. Every record is checked first: on a fault the table and the buffer stay as
    // they were and the reason is returned; empty on success.
    std::string AssignEncoded(std::string&& bytes, std::size_t begin, std::size_t end,
                              std::size_t count);

    // First record (in index order) with exactly this key, or NoRecord.
    RecordId Seek(std::string_view lcFilename, std::string_view lcLocation) const;
    RecordId Seek(const InventoryKey& key) const { return Seek(key.LCFilename, key.LCLocation); }

    // NoRecord when position >= Count().
    RecordId At(std::size_t position) const;
    std::size_t PositionOf(RecordId id) const;
    bool Contains(RecordId id) const noexcept;
    // Both throw std::out_of_range for an id not in the table.
    InventoryRecord Record(RecordId id) const;
    RecordView View(RecordId id) const;

    // Calls f(RecordId, const RecordView&) in index order; f must not change the table.
    template <class F>
    void ForEachInOrder(F&& f) const {
        for (const auto& block : blocks_)
            for (RecordId id : block->ids) f(id, ViewOf(id));
    }

    // The records' encodings, back to back in index order: EncodedSize() bytes to out.
    std::size_t EncodedSize() const noexcept { return liveBytes_; }
    char* WriteEncoded(char* out) const;

private:
    friend class InventoryCursor;
    struct Block {
        std::vector<RecordId> ids;
        std::uint32_t ordinal = 0;  // index in blocks_
    };
    struct Slot;
    struct Storage;
    class HashFiller;

    Slot& SlotOf(RecordId id) noexcept;
    const Slot& SlotOf(RecordId id) const noexcept;
    const Slot& LiveSlot(RecordId id) const;
    RecordView ViewOf(RecordId id) const;
    std::string_view KeyName(RecordId id) const noexcept;
    std::string_view KeyLocation(RecordId id) const noexcept;
    int CompareKeys(RecordId a, RecordId b) const noexcept;
    int CompareTo(RecordId id, std::string_view lcFilename,
                  std::string_view lcLocation) const noexcept;

    char* AllocateBytes(std::size_t n);
    RecordId AllocateSlot();
    char* RoomFor(RecordId id, const InventoryRecord& normalized);
    void Install(RecordId id, char* room, const InventoryRecord& normalized) noexcept;
    void StoreEncoded(RecordId id, const InventoryRecord& normalized);
    void ReleaseBytes(RecordId id) noexcept;
    void ReserveForOneMore();
    void CompactIfWasteful();

    const char* KeyAt(RecordId id) const noexcept;
    std::size_t HashFind(RecordId id) const noexcept;
    void HashPlace(std::uint32_t hash, RecordId id) noexcept;
    void HashInsert(RecordId id) noexcept;
    void HashRepoint(RecordId id) noexcept;
    void HashErase(RecordId id);
    void HashRebuild(std::size_t capacity);

    std::size_t BlockFor(std::string_view lcFilename, std::string_view lcLocation,
                         bool afterEqual) const;
    void InsertIntoIndex(RecordId id);
    void RemoveFromIndex(RecordId id);
    void SplitBlock(std::size_t b);
    void MergeAfterRemoval(std::size_t b);
    void EraseBlock(std::size_t b);
    void Renumber(std::size_t fromBlock);
    void BuildBlocks(const std::vector<RecordId>* order);
    void HashReset(std::size_t n);
    void HashAll();
    void TakeContentOf(InventoryTable& other) noexcept;
    void ResetCursors();

    std::size_t blockCapacity_;
    std::unique_ptr<Storage> storage_;
    std::vector<std::unique_ptr<Slot[]>> pages_;  // pages never move, so slots do not either
    std::uint32_t slotCount_ = 0;
    std::vector<RecordId> freeIds_;
    std::vector<std::unique_ptr<Block>> blocks_;  // in index order
    std::vector<std::uint32_t> starts_;           // position of each block's first record
    std::size_t count_ = 0;
    std::size_t liveBytes_ = 0;  // encoded bytes of the records in the table
    std::size_t deadBytes_ = 0;  // encoded bytes of replaced and deleted records not yet reclaimed
    // The key's place in the record's bytes, kept here so that a seek reads the entry and the
    // key and nothing else.
    struct HashEntry {
        const char* key;  // the LCLocation length byte; LCFilename follows LCLocation
        std::uint32_t hash;
        RecordId id;  // NoRecord: empty
    };
    std::vector<HashEntry> hash_;  // open addressing, linear probing; size a power of two
    std::vector<InventoryCursor*> cursors_;
    std::uint64_t changes_ = 0;
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
    // Both throw std::logic_error when there is no current record. A view is valid until the
    // table changes.
    InventoryRecord Record() const;
    RecordView View() const;

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
