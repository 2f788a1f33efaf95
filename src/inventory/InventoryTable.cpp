#include "inventory/InventoryTable.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace pictavo {

namespace {

void CutTo(std::string& text, std::size_t width) {
    if (text.size() > width) text.resize(width);
}

// In place, reusing the target's buffer: loading passes records that already hold the value.
void AssignLowerCase(std::string& target, const std::string& source) {
    target.resize(source.size());
    std::transform(source.begin(), source.end(), target.begin(), LowerChar);
}

// std::string_view compares as unsigned bytes (char_traits<char> follows memcmp).
int CompareKey(std::string_view aName, std::string_view aLocation, std::string_view bName,
               std::string_view bLocation) noexcept {
    if (int c = aName.compare(bName)) return c;
    return aLocation.compare(bLocation);
}

int CompareKey(const InventoryRecord& a, const InventoryRecord& b) noexcept {
    return CompareKey(a.LCFilename, a.LCLocation, b.LCFilename, b.LCLocation);
}

constexpr std::uint32_t PageBits = 10;
constexpr std::uint32_t PageSize = 1u << PageBits;

}  // namespace

InventoryKey KeyOfPath(std::string_view path) {
    return {LowerCase(ExtractFileName(path)), LowerCase(ExtractFileDir(path))};
}

std::string FullPath(const InventoryRecord& record) {
    return JoinPath(record.Location, record.FileName);
}

std::string KeyPath(const InventoryRecord& record) {
    return JoinPath(record.LCLocation, record.LCFilename);
}

void NormalizeRecord(InventoryRecord& record) {
    CutTo(record.FileName, FileNameWidth);
    CutTo(record.Location, LocationWidth);
    // A folder with a trailing backslash could never be found by the key of a path.
    record.Location.resize(StripTrailingBackslashes(record.Location).size());
    CutTo(record.Group, GroupWidth);
    AssignLowerCase(record.LCFilename, record.FileName);
    AssignLowerCase(record.LCLocation, record.Location);
}

// ---------------------------------------------------------------------------------------------
// Table

InventoryTable::InventoryTable(std::size_t blockCapacity)
    : blockCapacity_(std::max<std::size_t>(blockCapacity, 4)) {}

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
    return id < slotCount_ && SlotOf(id).block != nullptr;
}

const InventoryTable::Slot& InventoryTable::LiveSlot(RecordId id) const {
    if (!Contains(id))
        throw std::out_of_range("inventory record " + std::to_string(id) + " does not exist");
    return SlotOf(id);
}

const InventoryRecord& InventoryTable::Record(RecordId id) const { return LiveSlot(id).record; }

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

void InventoryTable::FreeSlot(RecordId id) {
    Slot& slot = SlotOf(id);
    slot.record = InventoryRecord{};  // releases the strings now
    slot.block = nullptr;
    freeIds_.push_back(id);
}

// Ordinal of the block where the key belongs: the first block whose last record is not below
// the key (afterEqual = false) or is above it (afterEqual = true). blocks_.size() when none.
std::size_t InventoryTable::BlockFor(std::string_view lcFilename, std::string_view lcLocation,
                                     bool afterEqual) const {
    auto it = std::partition_point(blocks_.begin(), blocks_.end(), [&](const auto& block) {
        const InventoryRecord& last = SlotOf(block->ids.back()).record;
        int c = CompareKey(last.LCFilename, last.LCLocation, lcFilename, lcLocation);
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
    const InventoryRecord& rec = slot.record;
    std::size_t b = 0;
    if (blocks_.empty()) {
        auto block = std::make_unique<Block>();
        block->ids.reserve(blockCapacity_ + 1);
        blocks_.push_back(std::move(block));
        starts_.push_back(0);
    } else {
        // Behind every equal key: ties stay in insertion order without a sequence number.
        b = std::min(BlockFor(rec.LCFilename, rec.LCLocation, true), blocks_.size() - 1);
    }
    Block& block = *blocks_[b];
    auto pos = std::partition_point(block.ids.begin(), block.ids.end(), [&](RecordId other) {
        return CompareKey(SlotOf(other).record, rec) <= 0;
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

RecordId InventoryTable::Append(InventoryRecord record) {
    NormalizeRecord(record);
    RecordId id = AllocateSlot();
    Slot& slot = SlotOf(id);
    slot.record = std::move(record);
    InsertIntoIndex(id);
    for (InventoryCursor* cursor : cursors_)
        if (cursor->id_ == NoRecord) cursor->Land(id);
    return id;
}

void InventoryTable::Replace(RecordId id, InventoryRecord record) {
    LiveSlot(id);
    NormalizeRecord(record);
    Slot& slot = SlotOf(id);
    if (CompareKey(slot.record, record) == 0) {
        slot.record = std::move(record);
        return;
    }
    RemoveFromIndex(id);
    slot.record = std::move(record);
    InsertIntoIndex(id);
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
    RemoveFromIndex(id);
    FreeSlot(id);
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

void InventoryTable::Clear() {
    blocks_.clear();
    starts_.clear();
    pages_.clear();
    freeIds_.clear();
    slotCount_ = 0;
    count_ = 0;
    ResetCursors();
}

void InventoryTable::Assign(std::vector<InventoryRecord> records) {
    if (records.size() >= NoRecord) throw std::length_error("too many inventory records");
    for (InventoryRecord& record : records) NormalizeRecord(record);

    // A saved table comes in index order; only other input needs the sort.
    std::vector<std::uint32_t> order;
    bool sorted = true;
    for (std::size_t i = 1; i < records.size() && sorted; ++i)
        sorted = CompareKey(records[i - 1], records[i]) <= 0;
    if (!sorted) {
        order.resize(records.size());
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return CompareKey(records[a], records[b]) < 0;
        });
    }

    // Built aside and swapped in, so a failure leaves the table as it was.
    InventoryTable fresh(blockCapacity_);
    const auto n = static_cast<std::uint32_t>(records.size());
    fresh.pages_.reserve((n + PageSize - 1) / PageSize);
    const std::size_t fill = std::max<std::size_t>(1, blockCapacity_ * 3 / 4);  // room to grow
    fresh.blocks_.reserve((n + fill - 1) / fill);
    fresh.starts_.reserve(fresh.blocks_.capacity());
    // Ids follow index order, so walking the index walks memory in order.
    for (std::uint32_t id = 0; id < n; ++id) {
        if (id % fill == 0) {
            auto block = std::make_unique<Block>();
            block->ids.reserve(blockCapacity_ + 1);
            block->ordinal = static_cast<std::uint32_t>(fresh.blocks_.size());
            fresh.blocks_.push_back(std::move(block));
            fresh.starts_.push_back(id);
        }
        if (id % PageSize == 0) fresh.pages_.push_back(std::make_unique<Slot[]>(PageSize));
        Slot& slot = fresh.SlotOf(id);
        slot.record = std::move(records[sorted ? id : order[id]]);
        slot.block = fresh.blocks_.back().get();
        slot.block->ids.push_back(id);
    }
    fresh.slotCount_ = n;
    fresh.count_ = n;

    blocks_.swap(fresh.blocks_);
    starts_.swap(fresh.starts_);
    pages_.swap(fresh.pages_);
    freeIds_.swap(fresh.freeIds_);
    std::swap(slotCount_, fresh.slotCount_);
    std::swap(count_, fresh.count_);
    ResetCursors();
}

void InventoryTable::ResetCursors() {
    for (InventoryCursor* cursor : cursors_) cursor->First();
}

RecordId InventoryTable::Seek(std::string_view lcFilename, std::string_view lcLocation) const {
    std::size_t b = BlockFor(lcFilename, lcLocation, false);
    if (b == blocks_.size()) return NoRecord;
    const auto& ids = blocks_[b]->ids;
    auto it = std::partition_point(ids.begin(), ids.end(), [&](RecordId id) {
        const InventoryRecord& rec = SlotOf(id).record;
        return CompareKey(rec.LCFilename, rec.LCLocation, lcFilename, lcLocation) < 0;
    });
    // The block's last record is not below the key, so it is never the end here.
    const InventoryRecord& found = SlotOf(*it).record;
    return CompareKey(found.LCFilename, found.LCLocation, lcFilename, lcLocation) == 0 ? *it
                                                                                       : NoRecord;
}

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

const InventoryRecord& InventoryCursor::Record() const { return table_->Record(RequireRecord()); }

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
