#include "inventory/InventoryTable.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>
#include <numeric>
#include <stdexcept>

#include "inventory/RecordEncoding.h"

namespace pictavo {

namespace {

using encoding::Lengths;
using encoding::Word32;
using encoding::Word64;

void CutTo(std::string& text, std::size_t width) {
    if (text.size() > width) text.resize(width);
}

bool HasHighByte(std::string_view text) noexcept {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

// Whether a loaded record is to be stored again as Append stores it: a folder with a trailing
// backslash (written by hand, never by the program), or a lower-case copy keyed under another
// ANSI code page (a double-byte one leaves a character's second byte as it is, a single-byte
// one lowers it; earlier builds lowered it always). Only text with a byte from 0x80 up can be
// keyed differently.
bool NeedsNormalizing(const RecordView& r) {
    if (!r.Location.empty() && r.Location.back() == '\\' &&
        StripTrailingBackslashes(r.Location).size() != r.Location.size()) {
        return true;
    }
    return (HasHighByte(r.FileName) && r.LCFilename != LowerCase(r.FileName)) ||
           (HasHighByte(r.Location) && r.LCLocation != LowerCase(r.Location));
}

// Byte-wise as unsigned bytes, as std::string_view::compare, eight bytes at a time: keys are
// short, and loading compares every record with the one before.
int CompareBytes(std::string_view a, std::string_view b) noexcept {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) {
            if constexpr (std::endian::native == std::endian::little) {
                x = __builtin_bswap64(x);
                y = __builtin_bswap64(y);
            }
            return x < y ? -1 : 1;
        }
    }
    for (; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int CompareKey(std::string_view aName, std::string_view aLocation, std::string_view bName,
               std::string_view bLocation) noexcept {
    if (int c = CompareBytes(aName, bName)) return c;
    return CompareBytes(aLocation, bLocation);
}

// A 64-bit multiplicative hash over 8-byte words; the key is hashed on every Seek, so it must
// be quick, and it needs no resistance to crafted input.
constexpr std::uint64_t HashMultiplier = 0x9E3779B97F4A7C15ull;

std::uint64_t Mix(std::uint64_t h, std::uint64_t w) noexcept {
    h = (h ^ w) * HashMultiplier;
    return h ^ (h >> 29);
}

// The bytes after whole words are read as one word that ends with the string, overlapping bytes
// already taken: no byte loop, and the same string always gives the same words.
std::uint64_t HashBytes(std::uint64_t h, std::string_view s) noexcept {
    const char* p = s.data();
    const std::size_t n = s.size();
    if (n >= 8) {
        for (std::size_t i = 0; i + 8 < n; i += 8) h = Mix(h, Word64(p + i));
        return Mix(h, Word64(p + n - 8));
    }
    if (n >= 4) return Mix(h, Word32(p) | Word32(p + n - 4) << 32);
    if (n > 0) {
        const auto byte = [p](std::size_t i) {
            return std::uint64_t{static_cast<unsigned char>(p[i])};
        };
        return Mix(h, byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16);
    }
    return h;
}

std::uint32_t HashKey(std::string_view lcFilename, std::string_view lcLocation) noexcept {
    // Name and folder in two independent chains, which the processor runs side by side; each
    // starts from its own length, so ("ab", "c") and ("a", "bc") part at once.
    const std::uint64_t name = HashBytes(lcFilename.size(), lcFilename);
    const std::uint64_t folder = HashBytes(std::uint64_t{lcLocation.size()} << 32 | 1, lcLocation);
    const std::uint64_t h = Mix(name, folder) * HashMultiplier;
    return static_cast<std::uint32_t>(h >> 32);
}

// Inline rather than memcmp: a seek compares one short key, and a library call costs more than
// the comparison (the Windows C runtime compares byte by byte).
bool EqualBytes(const char* a, const char* b, std::size_t n) noexcept {
    std::uint64_t differ = 0;
    for (; n >= 8; n -= 8, a += 8, b += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
        differ |= x ^ y;
    }
    for (; n > 0; --n) differ |= static_cast<unsigned char>(*a++ ^ *b++);
    return differ == 0;
}

// Does the key at `key` (as HashEntry::key) equal the given one?
bool KeyMatches(const char* key, std::string_view lcFilename,
                std::string_view lcLocation) noexcept {
    const auto* k = reinterpret_cast<const unsigned char*>(key);
    const std::size_t locationLength = k[0];
    return locationLength == lcLocation.size() && k[1 + locationLength] == lcFilename.size() &&
           EqualBytes(key + 2 + locationLength, lcFilename.data(), lcFilename.size()) &&
           EqualBytes(key + 1, lcLocation.data(), locationLength);
}

constexpr std::uint32_t PageBits = 10;
constexpr std::uint32_t PageSize = 1u << PageBits;
// Appended records are packed into chunks of this size.
constexpr std::size_t ChunkSize = 64 * 1024;
// Replaced and deleted records are reclaimed once they take more room than the live ones.
constexpr std::size_t CompactAfter = 1 << 20;

}  // namespace

InventoryKey KeyOfPath(const PicturePath& path) { return {path.KeyName(), path.KeyFolder()}; }

std::string FullPath(const InventoryRecord& record) {
    return JoinPath(record.Location, record.FileName);
}

std::string FullPath(const RecordView& record) {
    return JoinPath(record.Location, record.FileName);
}

InventoryRecord RecordView::ToRecord() const {
    InventoryRecord r;
    r.Enabled = Enabled;
    r.Tile = Tile;
    r.FileName = FileName;
    r.Location = Location;
    r.Size = Size;
    r.Timestamp = Timestamp;
    r.Group = Group;
    r.Order = Order;
    r.LCLocation = LCLocation;
    r.LCFilename = LCFilename;
    return r;
}

void NormalizeRecord(InventoryRecord& record) {
    CutTo(record.FileName, FileNameWidth);
    CutTo(record.Location, LocationWidth);
    // A folder with a trailing backslash could never be found by the key of a path.
    record.Location.resize(StripTrailingBackslashes(record.Location).size());
    CutTo(record.Group, GroupWidth);
    record.LCFilename = LowerCase(record.FileName);
    record.LCLocation = LowerCase(record.Location);
}

// ---------------------------------------------------------------------------------------------
// Table

struct InventoryTable::Slot {
    char* bytes = nullptr;  // the record's encoding; nullptr while the slot is free
    Block* block = nullptr;
    Lengths lengths;
};

// Where the encodings live: a loaded file taken over whole, and chunks for later records.
struct InventoryTable::Storage {
    std::string loaded;
    std::vector<std::unique_ptr<char[]>> chunks;
    char* free = nullptr;  // the unused end of the last chunk
    std::size_t freeBytes = 0;
};

InventoryTable::InventoryTable(std::size_t blockCapacity)
    : blockCapacity_(std::max<std::size_t>(blockCapacity, 4)),
      storage_(std::make_unique<Storage>()) {}

InventoryTable::~InventoryTable() {
    for (InventoryCursor* cursor : cursors_) {
        cursor->table_ = nullptr;
        cursor->id_ = NoRecord;
    }
}

InventoryTable::Slot& InventoryTable::SlotOf(RecordId id) noexcept {
    return pages_[id >> PageBits][id & (PageSize - 1)];
}

const InventoryTable::Slot& InventoryTable::SlotOf(RecordId id) const noexcept {
    return pages_[id >> PageBits][id & (PageSize - 1)];
}

bool InventoryTable::Contains(RecordId id) const noexcept {
    return id < slotCount_ && SlotOf(id).bytes != nullptr;
}

const InventoryTable::Slot& InventoryTable::LiveSlot(RecordId id) const {
    if (!Contains(id))
        throw std::out_of_range("inventory record " + std::to_string(id) + " does not exist");
    return SlotOf(id);
}

RecordView InventoryTable::ViewOf(RecordId id) const {
    const Slot& slot = SlotOf(id);
    return encoding::View(slot.bytes, slot.lengths);
}

RecordView InventoryTable::View(RecordId id) const {
    LiveSlot(id);
    return ViewOf(id);
}

InventoryRecord InventoryTable::Record(RecordId id) const { return View(id).ToRecord(); }

std::string_view InventoryTable::KeyName(RecordId id) const noexcept {
    const Slot& slot = SlotOf(id);
    return encoding::LCFilename(slot.bytes, slot.lengths);
}

std::string_view InventoryTable::KeyLocation(RecordId id) const noexcept {
    const Slot& slot = SlotOf(id);
    return encoding::LCLocation(slot.bytes, slot.lengths);
}

int InventoryTable::CompareTo(RecordId id, std::string_view lcFilename,
                              std::string_view lcLocation) const noexcept {
    return CompareKey(KeyName(id), KeyLocation(id), lcFilename, lcLocation);
}

int InventoryTable::CompareKeys(RecordId a, RecordId b) const noexcept {
    return CompareTo(a, KeyName(b), KeyLocation(b));
}

// --- storage of the encodings

char* InventoryTable::AllocateBytes(std::size_t n) {
    Storage& s = *storage_;
    if (s.freeBytes < n) {
        const std::size_t size = std::max(ChunkSize, n);
        s.chunks.push_back(std::make_unique_for_overwrite<char[]>(size));
        deadBytes_ += s.freeBytes;  // the rest of the previous chunk stays unused
        s.free = s.chunks.back().get();
        s.freeBytes = size;
    }
    char* p = s.free;
    s.free += n;
    s.freeBytes -= n;
    return p;
}

// Where the record's new encoding goes: where it is when the size is the same (a changed
// flag, size or date, a case change), else new room. The step of a change that can fail for
// want of memory, so it comes before anything is changed.
char* InventoryTable::RoomFor(RecordId id, const InventoryRecord& normalized) {
    const Slot& slot = SlotOf(id);
    const std::size_t size = encoding::SizeOf(encoding::LengthsOf(normalized));
    if (slot.bytes != nullptr && encoding::SizeOf(slot.lengths) == size) return slot.bytes;
    return AllocateBytes(size);
}

void InventoryTable::Install(RecordId id, char* room, const InventoryRecord& normalized) noexcept {
    Slot& slot = SlotOf(id);
    if (slot.bytes != room) {
        ReleaseBytes(id);
        slot.bytes = room;
        liveBytes_ += encoding::SizeOf(encoding::LengthsOf(normalized));
    }
    slot.lengths = encoding::LengthsOf(normalized);
    encoding::Encode(normalized, room);
}

void InventoryTable::StoreEncoded(RecordId id, const InventoryRecord& normalized) {
    Install(id, RoomFor(id, normalized), normalized);
}

// Memory that one more record in the index and the hash may need, taken before a change
// starts, so that running out of it leaves the table as it was.
void InventoryTable::ReserveForOneMore() {
    auto oneMore = [](auto& v) {
        if (v.size() == v.capacity()) v.reserve(v.size() * 2 + 1);
    };
    oneMore(blocks_);
    oneMore(starts_);
    oneMore(freeIds_);
    // At most three quarters full, so probe runs stay short.
    if ((count_ + 1) * 4 > hash_.size() * 3)
        HashRebuild(std::max<std::size_t>(16, hash_.size() * 2));
}

void InventoryTable::ReleaseBytes(RecordId id) noexcept {
    Slot& slot = SlotOf(id);
    if (slot.bytes == nullptr) return;
    const std::size_t size = encoding::SizeOf(slot.lengths);
    liveBytes_ -= size;
    deadBytes_ += size;
    slot.bytes = nullptr;
}

// Copies the live records, in index order, into one block of their exact size.
void InventoryTable::CompactIfWasteful() {
    if (deadBytes_ < CompactAfter || deadBytes_ < liveBytes_) return;
    auto fresh = std::make_unique<Storage>();
    if (liveBytes_ > 0) {
        fresh->chunks.push_back(std::make_unique_for_overwrite<char[]>(liveBytes_));
        char* out = fresh->chunks.back().get();
        for (const auto& block : blocks_) {
            for (RecordId id : block->ids) {
                Slot& slot = SlotOf(id);
                const std::size_t size = encoding::SizeOf(slot.lengths);
                std::memcpy(out, slot.bytes, size);
                slot.bytes = out;
                out += size;
            }
        }
    }
    storage_ = std::move(fresh);
    deadBytes_ = 0;
    for (HashEntry& e : hash_)
        if (e.id != NoRecord) e.key = KeyAt(e.id);
}

RecordId InventoryTable::AllocateSlot() {
    if (!freeIds_.empty()) {
        RecordId id = freeIds_.back();
        freeIds_.pop_back();
        return id;
    }
    if (slotCount_ == NoRecord) throw std::length_error("inventory table is full");
    if ((slotCount_ >> PageBits) == pages_.size())
        pages_.push_back(std::make_unique<Slot[]>(PageSize));
    return slotCount_++;
}

// --- the hash of the keys

const char* InventoryTable::KeyAt(RecordId id) const noexcept {
    const Slot& slot = SlotOf(id);
    return slot.bytes + encoding::LCLocationAt(slot.lengths) - 1;
}

// The index of the record's entry.
std::size_t InventoryTable::HashFind(RecordId id) const noexcept {
    const std::size_t mask = hash_.size() - 1;
    std::size_t i = HashKey(KeyName(id), KeyLocation(id)) & mask;
    while (hash_[i].id != id) i = (i + 1) & mask;
    return i;
}

void InventoryTable::HashPlace(std::uint32_t hash, RecordId id) noexcept {
    const std::size_t mask = hash_.size() - 1;
    std::size_t i = hash & mask;
    while (hash_[i].id != NoRecord) i = (i + 1) & mask;
    hash_[i] = {KeyAt(id), hash, id};
}

void InventoryTable::HashRebuild(std::size_t capacity) {
    std::vector<HashEntry> old(capacity, HashEntry{nullptr, 0, NoRecord});
    hash_.swap(old);
    const std::size_t mask = capacity - 1;
    for (const HashEntry& e : old) {
        if (e.id == NoRecord) continue;
        std::size_t i = e.hash & mask;
        while (hash_[i].id != NoRecord) i = (i + 1) & mask;
        hash_[i] = e;
    }
}

void InventoryTable::HashRepoint(RecordId id) noexcept { hash_[HashFind(id)].key = KeyAt(id); }

// After ReserveForOneMore.
void InventoryTable::HashInsert(RecordId id) noexcept {
    HashPlace(HashKey(KeyName(id), KeyLocation(id)), id);
}

void InventoryTable::HashErase(RecordId id) {
    const std::size_t mask = hash_.size() - 1;
    std::size_t i = HashFind(id);
    // Backward shift: move later entries of the run into the hole when their home allows it,
    // so lookups never need tombstones.
    for (std::size_t j = (i + 1) & mask;; j = (j + 1) & mask) {
        if (hash_[j].id == NoRecord) break;
        const std::size_t home = hash_[j].hash & mask;
        // j may move to i unless its home lies cyclically within (i, j].
        const bool homeAfterHole = i <= j ? (home > i && home <= j) : (home > i || home <= j);
        if (!homeAfterHole) {
            hash_[i] = hash_[j];
            i = j;
        }
    }
    hash_[i] = {nullptr, 0, NoRecord};
}

RecordId InventoryTable::Seek(std::string_view lcFilename, std::string_view lcLocation) const {
    if (count_ == 0) return NoRecord;
    const std::uint32_t hash = HashKey(lcFilename, lcLocation);
    const std::size_t mask = hash_.size() - 1;
    RecordId found = NoRecord;
    for (std::size_t i = hash & mask; hash_[i].id != NoRecord; i = (i + 1) & mask) {
        const HashEntry& e = hash_[i];
        if (e.hash != hash || !KeyMatches(e.key, lcFilename, lcLocation)) continue;
        // Equal keys are allowed: the first in index order wins.
        if (found == NoRecord || PositionOf(e.id) < PositionOf(found)) found = e.id;
    }
    return found;
}

// --- the ordered index

// Ordinal of the block where the key belongs: the first block whose last record is not below
// the key (afterEqual = false) or is above it (afterEqual = true). blocks_.size() when none.
std::size_t InventoryTable::BlockFor(std::string_view lcFilename, std::string_view lcLocation,
                                     bool afterEqual) const {
    auto it = std::partition_point(blocks_.begin(), blocks_.end(), [&](const auto& block) {
        int c = CompareTo(block->ids.back(), lcFilename, lcLocation);
        return afterEqual ? c <= 0 : c < 0;
    });
    return static_cast<std::size_t>(it - blocks_.begin());
}

void InventoryTable::Renumber(std::size_t fromBlock) {
    for (std::size_t b = fromBlock; b < blocks_.size(); ++b)
        blocks_[b]->ordinal = static_cast<std::uint32_t>(b);
}

void InventoryTable::InsertIntoIndex(RecordId id) {
    Slot& slot = SlotOf(id);
    const std::string_view name = KeyName(id);
    const std::string_view location = KeyLocation(id);
    std::size_t b = 0;
    if (blocks_.empty()) {
        auto block = std::make_unique<Block>();
        block->ids.reserve(blockCapacity_ + 1);
        blocks_.push_back(std::move(block));
        starts_.push_back(0);
    } else {
        // Behind every equal key: ties stay in insertion order without a sequence number.
        b = std::min(BlockFor(name, location, true), blocks_.size() - 1);
    }
    Block& block = *blocks_[b];
    auto pos = std::partition_point(block.ids.begin(), block.ids.end(), [&](RecordId other) {
        return CompareTo(other, name, location) <= 0;
    });
    block.ids.insert(pos, id);
    slot.block = &block;
    for (std::size_t k = b + 1; k < starts_.size(); ++k) ++starts_[k];
    ++count_;
    if (block.ids.size() > blockCapacity_) SplitBlock(b);
}

void InventoryTable::SplitBlock(std::size_t b) {
    Block& block = *blocks_[b];
    std::size_t keep = block.ids.size() / 2;
    auto right = std::make_unique<Block>();
    right->ids.reserve(blockCapacity_ + 1);
    right->ids.assign(block.ids.begin() + static_cast<std::ptrdiff_t>(keep), block.ids.end());
    block.ids.resize(keep);
    for (RecordId moved : right->ids) SlotOf(moved).block = right.get();
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b + 1), std::move(right));
    starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(b + 1),
                   static_cast<std::uint32_t>(starts_[b] + keep));
    Renumber(b + 1);
}

void InventoryTable::EraseBlock(std::size_t b) {
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
    starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(b));
    Renumber(b);
}

void InventoryTable::RemoveFromIndex(RecordId id) {
    Slot& slot = SlotOf(id);
    Block& block = *slot.block;
    std::size_t b = block.ordinal;
    block.ids.erase(std::find(block.ids.begin(), block.ids.end(), id));
    slot.block = nullptr;
    for (std::size_t k = b + 1; k < starts_.size(); ++k) --starts_[k];
    --count_;
    MergeAfterRemoval(b);
}

// Keeps blocks from thinning out, so the block count stays proportional to the record count.
void InventoryTable::MergeAfterRemoval(std::size_t b) {
    if (blocks_[b]->ids.empty()) {
        EraseBlock(b);
        return;
    }
    if (blocks_[b]->ids.size() >= blockCapacity_ / 4 || blocks_.size() < 2) return;
    std::size_t left = (b + 1 < blocks_.size()) ? b : b - 1;
    Block& into = *blocks_[left];
    Block& from = *blocks_[left + 1];
    if (into.ids.size() + from.ids.size() > blockCapacity_) return;
    for (RecordId moved : from.ids) SlotOf(moved).block = &into;
    into.ids.insert(into.ids.end(), from.ids.begin(), from.ids.end());
    EraseBlock(left + 1);
}

// Blocks filled to three quarters (room to grow) with the live slots, in the given order or
// in id order.
void InventoryTable::BuildBlocks(const std::vector<RecordId>* order) {
    const std::size_t n = slotCount_;
    const std::size_t fill = std::max<std::size_t>(1, blockCapacity_ * 3 / 4);
    blocks_.reserve((n + fill - 1) / fill);
    starts_.reserve(blocks_.capacity());
    for (std::size_t i = 0; i < n; ++i) {
        if (i % fill == 0) {
            auto block = std::make_unique<Block>();
            block->ids.reserve(blockCapacity_ + 1);
            block->ordinal = static_cast<std::uint32_t>(blocks_.size());
            blocks_.push_back(std::move(block));
            starts_.push_back(static_cast<std::uint32_t>(i));
        }
        const RecordId id = order ? (*order)[i] : static_cast<RecordId>(i);
        SlotOf(id).block = blocks_.back().get();
        blocks_.back()->ids.push_back(id);
    }
    count_ = n;
}

// An empty hash with room for n keys.
void InventoryTable::HashReset(std::size_t n) {
    std::size_t capacity = 16;
    while (capacity * 3 < n * 4 + 4) capacity *= 2;
    hash_.assign(capacity, HashEntry{nullptr, 0, NoRecord});
}

// Fills the hash of a table being built, one record after another. Each entry lands at a
// random place in a table of megabytes: its place is asked for when the record is at hand and
// written a few records later, when the memory is on its way.
class InventoryTable::HashFiller {
public:
    explicit HashFiller(InventoryTable& table) : table_(table), mask_(table.hash_.size() - 1) {}

    void Add(std::uint32_t hash, RecordId id) noexcept {
        __builtin_prefetch(&table_.hash_[hash & mask_], 1);
        Pending& pending = pending_[added_ % Ahead];
        if (added_ >= Ahead) table_.HashPlace(pending.hash, pending.id);
        pending = {hash, id};
        ++added_;
    }

    void Finish() noexcept {
        for (std::size_t k = added_ > Ahead ? added_ - Ahead : 0; k < added_; ++k)
            table_.HashPlace(pending_[k % Ahead].hash, pending_[k % Ahead].id);
        added_ = 0;
    }

private:
    static constexpr std::size_t Ahead = 16;
    struct Pending {
        std::uint32_t hash;
        RecordId id;
    };
    InventoryTable& table_;
    std::size_t mask_;
    std::array<Pending, Ahead> pending_{};
    std::size_t added_ = 0;
};

void InventoryTable::HashAll() {
    HashReset(slotCount_);
    HashFiller filler(*this);
    for (RecordId id = 0; id < slotCount_; ++id)
        filler.Add(HashKey(KeyName(id), KeyLocation(id)), id);
    filler.Finish();
}

// --- changes

RecordId InventoryTable::Append(InventoryRecord record) {
    NormalizeRecord(record);
    ReserveForOneMore();
    const RecordId id = AllocateSlot();
    char* room;
    try {
        room = RoomFor(id, record);
    } catch (const std::bad_alloc&) {
        freeIds_.push_back(id);  // room reserved above
        throw;
    }
    Install(id, room, record);
    HashInsert(id);
    // A block split that runs out of memory leaves the block whole, one record over.
    InsertIntoIndex(id);
    ++changes_;
    for (InventoryCursor* cursor : cursors_)
        if (cursor->id_ == NoRecord) cursor->Land(id);
    return id;
}

void InventoryTable::Replace(RecordId id, InventoryRecord record) {
    LiveSlot(id);
    NormalizeRecord(record);
    char* room = RoomFor(id, record);
    if (KeyName(id) == record.LCFilename && KeyLocation(id) == record.LCLocation) {
        Install(id, room, record);
        HashRepoint(id);
    } else {
        ReserveForOneMore();
        HashErase(id);
        RemoveFromIndex(id);
        Install(id, room, record);
        HashInsert(id);
        InsertIntoIndex(id);
    }
    ++changes_;
    CompactIfWasteful();
}

void InventoryTable::Delete(RecordId id) {
    LiveSlot(id);
    bool anyOnIt = std::any_of(cursors_.begin(), cursors_.end(),
                               [id](const InventoryCursor* c) { return c->id_ == id; });
    RecordId following = NoRecord;
    RecordId preceding = NoRecord;
    if (anyOnIt) {
        std::size_t pos = PositionOf(id);
        following = At(pos + 1);
        preceding = pos > 0 ? At(pos - 1) : NoRecord;
    }
    if (freeIds_.size() == freeIds_.capacity()) freeIds_.reserve(freeIds_.size() * 2 + 1);
    HashErase(id);
    RemoveFromIndex(id);
    ReleaseBytes(id);
    freeIds_.push_back(id);
    ++changes_;
    CompactIfWasteful();
    if (!anyOnIt) return;
    for (InventoryCursor* cursor : cursors_) {
        if (cursor->id_ != id) continue;
        if (following != NoRecord) {
            cursor->Land(following);
        } else if (preceding != NoRecord) {
            cursor->Land(preceding);
            cursor->eof_ = true;
        } else {
            cursor->id_ = NoRecord;
            cursor->bof_ = cursor->eof_ = true;
        }
    }
}

void InventoryTable::TakeContentOf(InventoryTable& other) noexcept {
    storage_.swap(other.storage_);
    pages_.swap(other.pages_);
    std::swap(slotCount_, other.slotCount_);
    freeIds_.swap(other.freeIds_);
    blocks_.swap(other.blocks_);
    starts_.swap(other.starts_);
    std::swap(count_, other.count_);
    std::swap(liveBytes_, other.liveBytes_);
    std::swap(deadBytes_, other.deadBytes_);
    hash_.swap(other.hash_);
}

void InventoryTable::Clear() {
    InventoryTable empty(blockCapacity_);
    TakeContentOf(empty);
    ++changes_;
    ResetCursors();
}

void InventoryTable::Assign(std::vector<InventoryRecord> records) {
    if (records.size() >= NoRecord) throw std::length_error("too many inventory records");
    std::size_t total = 0;
    for (InventoryRecord& record : records) {
        NormalizeRecord(record);
        total += encoding::SizeOf(encoding::LengthsOf(record));
    }

    // Built aside and swapped in, so a failure leaves the table as it was.
    InventoryTable fresh(blockCapacity_);
    if (total > 0) {
        fresh.storage_->chunks.push_back(std::make_unique_for_overwrite<char[]>(total));
        fresh.storage_->free = fresh.storage_->chunks.back().get();
        fresh.storage_->freeBytes = total;
    }
    for (const InventoryRecord& record : records) fresh.StoreEncoded(fresh.AllocateSlot(), record);
    records.clear();

    std::vector<RecordId> order;
    for (RecordId id = 1; id < fresh.slotCount_ && order.empty(); ++id) {
        if (fresh.CompareKeys(id - 1, id) > 0) {
            order.resize(fresh.slotCount_);
            std::iota(order.begin(), order.end(), RecordId{0});
            std::stable_sort(order.begin(), order.end(),
                             [&](RecordId a, RecordId b) { return fresh.CompareKeys(a, b) < 0; });
        }
    }
    fresh.BuildBlocks(order.empty() ? nullptr : &order);
    fresh.HashAll();
    TakeContentOf(fresh);
    ++changes_;
    ResetCursors();
}

std::string InventoryTable::AssignEncoded(std::string&& bytes, std::size_t begin, std::size_t end,
                                          std::size_t count) {
    if (begin > end || end > bytes.size()) throw std::out_of_range("encoded records out of range");
    if (count >= NoRecord) return "too many records (" + std::to_string(count) + ")";
    InventoryTable fresh(blockCapacity_);
    fresh.pages_.reserve((count + PageSize - 1) / PageSize);
    fresh.HashReset(count);
    HashFiller filler(fresh);  // the keys are hashed while their record is at hand

    // Check every record before the buffer is taken over, so a refusal leaves it alone.
    char* p = bytes.data() + begin;
    char* const stop = bytes.data() + end;
    bool sorted = true;
    bool normalize = false;
    for (std::size_t i = 0; i < count; ++i) {
        Lengths lengths;
        const auto available = static_cast<std::size_t>(stop - p);
        if (!encoding::Check(p, available, lengths)) return encoding::Explain(p, available, i + 1);
        const RecordId id = fresh.AllocateSlot();
        Slot& slot = fresh.SlotOf(id);
        slot.bytes = p;
        slot.lengths = lengths;
        const std::size_t size = encoding::SizeOf(lengths);
        fresh.liveBytes_ += size;
        filler.Add(HashKey(encoding::LCFilename(p, lengths), encoding::LCLocation(p, lengths)), id);
        if (id > 0 && sorted) sorted = fresh.CompareKeys(id - 1, id) <= 0;
        if (!normalize && NeedsNormalizing(encoding::View(p, lengths))) normalize = true;
        p += size;
    }
    if (p != stop)
        return "record count mismatch (" + std::to_string(stop - p) +
               " bytes of record data left after " + std::to_string(count) + " records)";

    filler.Finish();
    fresh.storage_->loaded = std::move(bytes);
    if (normalize) {
        for (RecordId id = 0; id < fresh.slotCount_; ++id) {
            if (!NeedsNormalizing(fresh.ViewOf(id))) continue;
            InventoryRecord record = fresh.ViewOf(id).ToRecord();
            NormalizeRecord(record);
            fresh.StoreEncoded(id, record);
            sorted = false;
        }
        fresh.HashAll();
    }
    std::vector<RecordId> order;
    if (!sorted) {
        order.resize(fresh.slotCount_);
        std::iota(order.begin(), order.end(), RecordId{0});
        std::stable_sort(order.begin(), order.end(),
                         [&](RecordId a, RecordId b) { return fresh.CompareKeys(a, b) < 0; });
    }
    fresh.BuildBlocks(sorted ? nullptr : &order);
    TakeContentOf(fresh);
    ++changes_;
    ResetCursors();
    return {};
}

void InventoryTable::ResetCursors() {
    for (InventoryCursor* cursor : cursors_) cursor->First();
}

char* InventoryTable::WriteEncoded(char* out) const {
    for (const auto& block : blocks_) {
        for (RecordId id : block->ids) {
            const Slot& slot = SlotOf(id);
            const std::size_t size = encoding::SizeOf(slot.lengths);
            std::memcpy(out, slot.bytes, size);
            out += size;
        }
    }
    return out;
}

// --- positions

RecordId InventoryTable::At(std::size_t position) const {
    if (position >= count_) return NoRecord;
    auto it = std::upper_bound(starts_.begin(), starts_.end(), position);
    std::size_t b = static_cast<std::size_t>(it - starts_.begin()) - 1;
    return blocks_[b]->ids[position - starts_[b]];
}

std::size_t InventoryTable::PositionOf(RecordId id) const {
    const Block& block = *LiveSlot(id).block;
    auto it = std::find(block.ids.begin(), block.ids.end(), id);
    return starts_[block.ordinal] + static_cast<std::size_t>(it - block.ids.begin());
}

// ---------------------------------------------------------------------------------------------
// Cursor

InventoryCursor::InventoryCursor(InventoryTable& table) : table_(&table) {
    table.cursors_.push_back(this);
    First();
}

InventoryCursor::~InventoryCursor() {
    if (table_) {
        auto& list = table_->cursors_;
        list.erase(std::find(list.begin(), list.end(), this));
    }
}

InventoryTable& InventoryCursor::Attached() const {
    if (!table_) throw std::logic_error("inventory cursor outlived its table");
    return *table_;
}

InventoryTable& InventoryCursor::Table() const { return Attached(); }

RecordId InventoryCursor::RequireRecord() const {
    Attached();
    if (id_ == NoRecord) throw std::logic_error("inventory cursor has no current record");
    return id_;
}

void InventoryCursor::Land(RecordId id) noexcept {
    id_ = id;
    bof_ = eof_ = false;
}

InventoryRecord InventoryCursor::Record() const { return table_->Record(RequireRecord()); }

RecordView InventoryCursor::View() const { return table_->View(RequireRecord()); }

void InventoryCursor::First() {
    id_ = Attached().At(0);
    bof_ = true;
    eof_ = id_ == NoRecord;
}

void InventoryCursor::Last() {
    InventoryTable& table = Attached();
    id_ = table.Empty() ? NoRecord : table.At(table.Count() - 1);
    eof_ = true;
    bof_ = id_ == NoRecord;
}

void InventoryCursor::Next() {
    InventoryTable& table = Attached();
    RecordId next = id_ == NoRecord ? NoRecord : table.At(table.PositionOf(id_) + 1);
    if (next == NoRecord)
        eof_ = true;
    else
        Land(next);
}

void InventoryCursor::Prior() {
    InventoryTable& table = Attached();
    std::size_t pos = id_ == NoRecord ? 0 : table.PositionOf(id_);
    if (pos == 0)
        bof_ = true;
    else
        Land(table.At(pos - 1));
}

std::size_t InventoryCursor::RecNo() const {
    InventoryTable& table = Attached();
    return id_ == NoRecord ? 0 : table.PositionOf(id_) + 1;
}

bool InventoryCursor::MoveTo(std::size_t position) {
    RecordId id = Attached().At(position);
    if (id == NoRecord) return false;
    Land(id);
    return true;
}

void InventoryCursor::GoTo(RecordId id) {
    Attached().LiveSlot(id);
    Land(id);
}

bool InventoryCursor::Seek(std::string_view lcFilename, std::string_view lcLocation) {
    RecordId id = Attached().Seek(lcFilename, lcLocation);
    if (id == NoRecord) return false;
    Land(id);
    return true;
}

RecordId InventoryCursor::Append(InventoryRecord record) {
    RecordId id = Attached().Append(std::move(record));
    Land(id);
    return id;
}

void InventoryCursor::Post(InventoryRecord record) {
    table_->Replace(RequireRecord(), std::move(record));
}

void InventoryCursor::Delete() { table_->Delete(RequireRecord()); }

}  // namespace pictavo
