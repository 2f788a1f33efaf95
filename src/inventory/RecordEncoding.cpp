#include "inventory/RecordEncoding.h"

namespace pictavo::encoding {
namespace {

char* PutString(char* p, std::string_view s) {
    // Stored strings are within their widths, all below 256.
    *p++ = static_cast<char>(static_cast<unsigned char>(s.size()));
    std::memcpy(p, s.data(), s.size());
    return p + s.size();
}

// Eight bytes lower-cased at once: 0x20 added to each byte from 'A' to 'Z', nothing else.
std::uint64_t LowerWord(std::uint64_t x) noexcept {
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    const std::uint64_t seven = x & (0x7F * ones);  // no carry leaves a byte below
    const std::uint64_t atLeastA = seven + (0x80 - 'A') * ones;
    const std::uint64_t pastZ = seven + (0x80 - 'Z' - 1) * ones;
    const std::uint64_t upper = atLeastA & ~pastZ & ~x & (0x80 * ones);
    return x | (upper >> 2);
}

// Loading checks every stored lower-case copy, about fifty bytes a record, so a word at a
// time; the last word ends with the string and may overlap the one before.
bool IsLowerCaseOf(std::string_view lower, std::string_view text) noexcept {
    const char* a = lower.data();
    const char* b = text.data();
    const std::size_t n = text.size();
    if (n >= 8) {
        std::uint64_t differ = 0;
        for (std::size_t i = 0; i + 8 < n; i += 8)
            differ |= Word64(a + i) ^ LowerWord(Word64(b + i));
        differ |= Word64(a + n - 8) ^ LowerWord(Word64(b + n - 8));
        return differ == 0;
    }
    if (n >= 4) {
        const std::uint64_t x = Word32(a) | Word32(a + n - 4) << 32;
        const std::uint64_t y = Word32(b) | Word32(b + n - 4) << 32;
        return x == LowerWord(y);
    }
    unsigned differ = 0;
    for (std::size_t i = 0; i < n; ++i)
        differ |= static_cast<unsigned char>(a[i] ^ LowerChar(b[i]));
    return differ == 0;
}

// As IsLowerCaseOf, except that an ASCII capital right after a byte from 0x80 up may stand
// unlowered: under a double-byte code page it is a character's second byte, which the key
// leaves as it is. A file written under one code page thus loads under another (earlier
// builds lowered every such byte); loading keys the record again for the code page it runs in.
bool IsLowerCaseOfInAnyCodePage(std::string_view lower, std::string_view text) noexcept {
    if (IsLowerCaseOf(lower, text)) return true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (lower[i] == LowerChar(text[i])) continue;
        if (lower[i] == text[i] && i > 0 && static_cast<unsigned char>(text[i - 1]) >= 0x80)
            continue;
        return false;
    }
    return true;
}

// Walks one record's fields in order, stopping at the first fault.
class Checker {
public:
    Checker(const char* p, std::size_t available, std::size_t recordNo)
        : p_(p), end_(p + available), recordNo_(recordNo) {}

    const std::string& Error() const { return error_; }

    bool Bool(const char* field) {
        if (!Need(1, field)) return false;
        const auto b = static_cast<unsigned char>(*p_);
        if (b > 1) return Fail(field, "boolean byte is " + std::to_string(b) + ", not 0 or 1");
        ++p_;
        return true;
    }

    bool Skip(std::size_t n, const char* field) {
        if (!Need(n, field)) return false;
        p_ += n;
        return true;
    }

    bool String(std::size_t width, const char* field, std::string_view& value) {
        if (!Need(1, field)) return false;
        const std::size_t len = static_cast<unsigned char>(*p_++);
        if (len > width)
            return Fail(field, "is " + std::to_string(len) + " characters, longer than its width " +
                                   std::to_string(width));
        if (!Need(len, field)) return false;
        value = {p_, len};
        p_ += len;
        return true;
    }

    bool Mismatch(const char* what) {
        error_ = "record " + std::to_string(recordNo_) + ": " + what;
        return false;
    }

private:
    bool Need(std::size_t n, const char* field) {
        if (static_cast<std::size_t>(end_ - p_) >= n) return true;
        return Fail(field,
                    "runs past the end of the record data (record count mismatch or a "
                    "damaged length)");
    }

    bool Fail(const char* field, const std::string& what) {
        error_ = "record " + std::to_string(recordNo_) + ", field " + field + ": " + what;
        return false;
    }

    const char* p_;
    const char* end_;
    std::size_t recordNo_;
    std::string error_;
};

}  // namespace

Lengths LengthsOf(const InventoryRecord& r) {
    return {static_cast<std::uint8_t>(r.FileName.size()),
            static_cast<std::uint8_t>(r.Location.size()),
            static_cast<std::uint8_t>(r.Group.size())};
}

void Encode(const InventoryRecord& r, char* p) {
    *p++ = r.Enabled ? 1 : 0;
    *p++ = r.Tile ? 1 : 0;
    p = PutString(p, r.FileName);
    p = PutString(p, r.Location);
    p = Put32(p, static_cast<std::uint32_t>(r.Size));
    const auto timestamp = static_cast<std::uint64_t>(r.Timestamp);
    p = Put32(p, static_cast<std::uint32_t>(timestamp));
    p = Put32(p, static_cast<std::uint32_t>(timestamp >> 32));
    p = PutString(p, r.Group);
    p = Put32(p, static_cast<std::uint32_t>(r.Order));
    p = PutString(p, r.LCLocation);
    PutString(p, r.LCFilename);
}

RecordView View(const char* p, Lengths l) {
    RecordView v;
    v.Enabled = p[0] != 0;
    v.Tile = p[1] != 0;
    v.FileName = {p + FileNameAt(l), l.fileName};
    v.Location = {p + LocationAt(l), l.location};
    v.Size = static_cast<std::int32_t>(Load32(p + SizeAt(l)));
    v.Timestamp = static_cast<std::int64_t>(Load64(p + TimestampAt(l)));
    v.Group = {p + GroupAt(l), l.group};
    v.Order = static_cast<std::int32_t>(Load32(p + OrderAt(l)));
    v.LCLocation = LCLocation(p, l);
    v.LCFilename = LCFilename(p, l);
    return v;
}

bool Check(const char* p, std::size_t available, Lengths& lengths) noexcept {
    // Loading runs this on every record of the file, so the sound case is a few comparisons;
    // Explain walks a refused record field by field for the message.
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    if (available < FixedBytes || (u[0] | u[1]) > 1) return false;
    // Each length byte is read only once the bytes before it are known to be there.
    const std::uint8_t fileName = u[2];
    if (fileName > FileNameWidth || LocationAt({fileName, 0, 0}) > available) return false;
    const Lengths l{fileName, u[LocationAt({fileName, 0, 0}) - 1], 0};
    if (l.location > LocationWidth || GroupAt(l) > available) return false;
    const Lengths full{l.fileName, l.location, u[GroupAt(l) - 1]};
    if (full.group > GroupWidth || SizeOf(full) > available) return false;
    if (u[LCLocationAt(full) - 1] != full.location || u[LCFilenameAt(full) - 1] != full.fileName)
        return false;
    if (!IsLowerCaseOfInAnyCodePage(LCFilename(p, full), {p + FileNameAt(full), full.fileName}) ||
        !IsLowerCaseOfInAnyCodePage(LCLocation(p, full), {p + LocationAt(full), full.location}))
        return false;
    lengths = full;
    return true;
}

std::string Explain(const char* p, std::size_t available, std::size_t recordNo) {
    Checker c(p, available, recordNo);
    std::string_view fileName, location, group, lcLocation, lcFilename;
    const bool ok = c.Bool("Enabled") && c.Bool("Tile") &&
                    c.String(FileNameWidth, "FileName", fileName) &&
                    c.String(LocationWidth, "Location", location) && c.Skip(4, "Size") &&
                    c.Skip(8, "Timestamp") && c.String(GroupWidth, "Group", group) &&
                    c.Skip(4, "Order") && c.String(LCLocationWidth, "LCLocation", lcLocation) &&
                    c.String(LCFilenameWidth, "LCFilename", lcFilename);
    if (!ok) return c.Error();
    if (lcFilename.size() != fileName.size() || !IsLowerCaseOfInAnyCodePage(lcFilename, fileName)) {
        c.Mismatch("LCFilename does not match FileName");
        return c.Error();
    }
    if (lcLocation.size() != location.size() || !IsLowerCaseOfInAnyCodePage(lcLocation, location)) {
        c.Mismatch("LCLocation does not match Location");
        return c.Error();
    }
    // Check and this walk apply the same rules; a record one refuses the other accepts would
    // be a fault here, and is still refused.
    return "record " + std::to_string(recordNo) + ": damaged";
}

}  // namespace pictavo::encoding
