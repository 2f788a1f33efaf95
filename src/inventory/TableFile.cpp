#include "inventory/TableFile.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace pictavo {

namespace {

// Slicing-by-8: a table file of 100,000 records is about 15 MB, and the byte-at-a-time CRC
// alone would eat a good part of the load budget.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr CrcTables MakeCrcTables() {
    CrcTables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i)
        for (std::size_t s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    return t;
}

constexpr CrcTables Crc = MakeCrcTables();

std::uint32_t Load32(const unsigned char* p) noexcept {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

std::uint64_t Load64(const unsigned char* p) noexcept {
    return std::uint64_t{Load32(p)} | std::uint64_t{Load32(p + 4)} << 32;
}

// Writers into a buffer sized beforehand.
char* Put32(char* p, std::uint32_t v) {
    p[0] = static_cast<char>(v);
    p[1] = static_cast<char>(v >> 8);
    p[2] = static_cast<char>(v >> 16);
    p[3] = static_cast<char>(v >> 24);
    return p + 4;
}

char* Put64(char* p, std::uint64_t v) {
    return Put32(Put32(p, static_cast<std::uint32_t>(v)), static_cast<std::uint32_t>(v >> 32));
}

char* PutString(char* p, const std::string& s) {
    // The table keeps strings within their widths, all below 256.
    *p++ = static_cast<char>(static_cast<unsigned char>(s.size()));
    std::memcpy(p, s.data(), s.size());
    return p + s.size();
}

constexpr std::size_t FixedRecordBytes = 2 + 4 + 8 + 4 + 5;  // flags, ints, length bytes

std::size_t EncodedSize(const InventoryRecord& r) {
    return FixedRecordBytes + r.FileName.size() + r.Location.size() + r.Group.size() +
           r.LCLocation.size() + r.LCFilename.size();
}

bool IsLowerCaseOf(std::string_view lower, std::string_view text) {
    if (lower.size() != text.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (lower[i] != LowerChar(text[i])) return false;
    }
    return true;
}

// Reads one record's fields; stops at the first fault and says what it was.
class RecordReader {
public:
    RecordReader(const unsigned char* begin, const unsigned char* end) : p_(begin), end_(end) {}

    bool AtEnd() const { return p_ == end_; }
    std::size_t Remaining() const { return static_cast<std::size_t>(end_ - p_); }
    const std::string& Error() const { return error_; }

    bool Read(InventoryRecord& r, std::size_t recordNo) {
        recordNo_ = recordNo;
        return Bool(r.Enabled, "Enabled") && Bool(r.Tile, "Tile") &&
               String(r.FileName, FileNameWidth, "FileName") &&
               String(r.Location, LocationWidth, "Location") && Int32(r.Size, "Size") &&
               Int64(r.Timestamp, "Timestamp") && String(r.Group, GroupWidth, "Group") &&
               Int32(r.Order, "Order") && String(r.LCLocation, LCLocationWidth, "LCLocation") &&
               String(r.LCFilename, LCFilenameWidth, "LCFilename");
    }

private:
    bool Fail(const char* field, const std::string& what) {
        error_ = "record " + std::to_string(recordNo_) + ", field " + field + ": " + what;
        return false;
    }

    bool Need(std::size_t n, const char* field) {
        if (Remaining() >= n) return true;
        return Fail(field,
                    "runs past the end of the record data (record count mismatch or a "
                    "damaged length)");
    }

    bool Bool(bool& v, const char* field) {
        if (!Need(1, field)) return false;
        if (*p_ > 1) return Fail(field, "boolean byte is " + std::to_string(*p_) + ", not 0 or 1");
        v = *p_++ == 1;
        return true;
    }

    bool Int32(std::int32_t& v, const char* field) {
        if (!Need(4, field)) return false;
        v = static_cast<std::int32_t>(Load32(p_));
        p_ += 4;
        return true;
    }

    bool Int64(std::int64_t& v, const char* field) {
        if (!Need(8, field)) return false;
        v = static_cast<std::int64_t>(Load64(p_));
        p_ += 8;
        return true;
    }

    bool String(std::string& v, std::size_t width, const char* field) {
        if (!Need(1, field)) return false;
        std::size_t len = *p_++;
        if (len > width)
            return Fail(field, "is " + std::to_string(len) + " characters, longer than its width " +
                                   std::to_string(width));
        if (!Need(len, field)) return false;
        v.assign(reinterpret_cast<const char*>(p_), len);
        p_ += len;
        return true;
    }

    const unsigned char* p_;
    const unsigned char* end_;
    std::size_t recordNo_ = 0;
    std::string error_;
};

TableParseResult Refuse(std::string why) {
    TableParseResult result;
    result.Error = "the table file was refused: " + std::move(why);
    return result;
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes) {
    auto p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    std::uint32_t c = 0xFFFFFFFFu;
    for (; n >= 8; n -= 8, p += 8) {
        std::uint32_t lo = Load32(p) ^ c;
        std::uint32_t hi = Load32(p + 4);
        c = Crc[7][lo & 0xFF] ^ Crc[6][(lo >> 8) & 0xFF] ^ Crc[5][(lo >> 16) & 0xFF] ^
            Crc[4][lo >> 24] ^ Crc[3][hi & 0xFF] ^ Crc[2][(hi >> 8) & 0xFF] ^
            Crc[1][(hi >> 16) & 0xFF] ^ Crc[0][hi >> 24];
    }
    for (; n > 0; --n, ++p) c = Crc[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::string SerializeTable(const InventoryTable& table) {
    std::size_t payload = 0;
    table.ForEachInOrder([&](RecordId, const InventoryRecord& r) { payload += EncodedSize(r); });

    std::string out(TableFileHeaderSize + payload + TableFileTrailerSize, '\0');
    char* p = std::copy(TableFileMagic.begin(), TableFileMagic.end(), out.data());
    p = Put32(p, TableFileVersion);
    p = Put32(p, static_cast<std::uint32_t>(table.Count()));
    p = Put32(p, static_cast<std::uint32_t>(payload));
    table.ForEachInOrder([&](RecordId, const InventoryRecord& r) {
        *p++ = r.Enabled ? 1 : 0;
        *p++ = r.Tile ? 1 : 0;
        p = PutString(p, r.FileName);
        p = PutString(p, r.Location);
        p = Put32(p, static_cast<std::uint32_t>(r.Size));
        p = Put64(p, static_cast<std::uint64_t>(r.Timestamp));
        p = PutString(p, r.Group);
        p = Put32(p, static_cast<std::uint32_t>(r.Order));
        p = PutString(p, r.LCLocation);
        p = PutString(p, r.LCFilename);
    });
    const std::size_t crcAt = out.size() - TableFileTrailerSize;
    Put32(p, Crc32(std::string_view(out).substr(0, crcAt)));
    return out;
}

TableParseResult ParseTable(std::string_view bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    if (size == 0) return Refuse("it is empty");
    if (bytes.substr(0, TableFileMagic.size()) != TableFileMagic.substr(0, size))
        return Refuse("it is not a Pictavo table file (wrong magic)");
    if (size < TableFileHeaderSize + TableFileTrailerSize)
        return Refuse("it is truncated (" + std::to_string(size) +
                      " bytes, shorter than a header)");

    const std::uint32_t version = Load32(data + 8);
    if (version != TableFileVersion)
        return Refuse("unknown format version " + std::to_string(version) +
                      " (this program reads " + std::to_string(TableFileVersion) + ")");
    const std::uint32_t count = Load32(data + 12);
    const std::uint32_t payload = Load32(data + 16);

    // 64-bit sum: a damaged length must not wrap around on a 32-bit size_t.
    const std::uint64_t expected =
        std::uint64_t{TableFileHeaderSize} + payload + TableFileTrailerSize;
    if (size < expected)
        return Refuse("it is truncated (" + std::to_string(size) + " of " +
                      std::to_string(expected) + " bytes)");
    if (size > expected)
        return Refuse(std::to_string(size - expected) + " trailing bytes after the checksum");

    const std::size_t crcAt = size - TableFileTrailerSize;
    if (Crc32(bytes.substr(0, crcAt)) != Load32(data + crcAt))
        return Refuse("checksum mismatch (the file is damaged)");

    // Every record takes at least FixedRecordBytes, so a damaged count cannot make us reserve
    // more than the data could hold.
    if (count > payload / FixedRecordBytes)
        return Refuse("record count mismatch (header says " + std::to_string(count) +
                      ", the data holds at most " + std::to_string(payload / FixedRecordBytes) +
                      ")");

    TableParseResult result;
    result.Records.resize(count);
    RecordReader reader(data + TableFileHeaderSize, data + crcAt);
    for (std::uint32_t i = 0; i < count; ++i) {
        InventoryRecord& r = result.Records[i];
        if (!reader.Read(r, std::size_t{i} + 1)) return Refuse(reader.Error());
        if (!IsLowerCaseOf(r.LCFilename, r.FileName))
            return Refuse("record " + std::to_string(i + 1) +
                          ": LCFilename does not match FileName");
        if (!IsLowerCaseOf(r.LCLocation, r.Location))
            return Refuse("record " + std::to_string(i + 1) +
                          ": LCLocation does not match Location");
    }
    if (!reader.AtEnd())
        return Refuse("record count mismatch (" + std::to_string(reader.Remaining()) +
                      " bytes of record data left after " + std::to_string(count) + " records)");
    return result;
}

std::string LoadTable(std::string_view bytes, InventoryTable& table) {
    TableParseResult parsed = ParseTable(bytes);
    if (parsed.Ok()) table.Assign(std::move(parsed.Records));
    return parsed.Error;
}

}  // namespace pictavo
