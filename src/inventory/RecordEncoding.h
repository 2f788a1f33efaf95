#pragma once
// One inventory record as bytes, the same in the table file and in the table's memory:
//
//   u8 Enabled | u8 Tile | u8 n, FileName[n] | u8 n, Location[n] | i32 Size | i64 Timestamp |
//   u8 n, Group[n] | i32 Order | u8 n, LCLocation[n] | u8 n, LCFilename[n]
//
// Booleans are 0 or 1, integers little-endian, strings without terminator. The lower-case copies
// have the lengths of their originals (lower-casing changes bytes, never their number), so three
// lengths place every field.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "inventory/InventoryTable.h"

namespace pictavo::encoding {

inline constexpr std::size_t FixedBytes = 23;  // flags, integers, five length bytes

struct Lengths {
    std::uint8_t fileName = 0;
    std::uint8_t location = 0;
    std::uint8_t group = 0;
};

constexpr std::size_t SizeOf(Lengths l) {
    return FixedBytes + 2u * l.fileName + 2u * l.location + l.group;
}
constexpr std::size_t FileNameAt(Lengths) { return 3; }
constexpr std::size_t LocationAt(Lengths l) { return 4u + l.fileName; }
constexpr std::size_t SizeAt(Lengths l) { return 4u + l.fileName + l.location; }
constexpr std::size_t TimestampAt(Lengths l) { return 8u + l.fileName + l.location; }
constexpr std::size_t GroupAt(Lengths l) { return 17u + l.fileName + l.location; }
constexpr std::size_t OrderAt(Lengths l) { return 17u + l.fileName + l.location + l.group; }
constexpr std::size_t LCLocationAt(Lengths l) { return 22u + l.fileName + l.location + l.group; }
constexpr std::size_t LCFilenameAt(Lengths l) {
    return 23u + l.fileName + 2u * l.location + l.group;
}

inline std::uint32_t Load32(const char* p) noexcept {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t{u[0]} | std::uint32_t{u[1]} << 8 | std::uint32_t{u[2]} << 16 |
           std::uint32_t{u[3]} << 24;
}
inline std::uint64_t Load64(const char* p) noexcept {
    return std::uint64_t{Load32(p)} | std::uint64_t{Load32(p + 4)} << 32;
}
// Eight or four bytes in the machine's order, for hashing and comparing rather than for values.
inline std::uint64_t Word64(const char* p) noexcept {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}
inline std::uint64_t Word32(const char* p) noexcept {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}
inline char* Put32(char* p, std::uint32_t v) noexcept {
    p[0] = static_cast<char>(v);
    p[1] = static_cast<char>(v >> 8);
    p[2] = static_cast<char>(v >> 16);
    p[3] = static_cast<char>(v >> 24);
    return p + 4;
}

// The lengths of a record that has been through NormalizeRecord.
Lengths LengthsOf(const InventoryRecord& normalized);
// Writes SizeOf(LengthsOf(normalized)) bytes.
void Encode(const InventoryRecord& normalized, char* out);

inline std::string_view LCFilename(const char* p, Lengths l) {
    return {p + LCFilenameAt(l), l.fileName};
}
inline std::string_view LCLocation(const char* p, Lengths l) {
    return {p + LCLocationAt(l), l.location};
}
RecordView View(const char* p, Lengths l);

// Checks the record that starts at p, with `available` bytes of record data from there on:
// every length within its field's width and the data, booleans 0 or 1, the lower-case copies
// matching (as lowered under this or another ANSI code page: the loader keys such a record
// again). On success sets lengths.
bool Check(const char* p, std::size_t available, Lengths& lengths) noexcept;
// Why Check refused the record, field by field, naming the record by recordNo.
std::string Explain(const char* p, std::size_t available, std::size_t recordNo);

}  // namespace pictavo::encoding
