// The inventory table file: our own little-endian binary format.
//
//   magic "PCTVINV\x1A" | u32 version | u32 record count | u32 payload bytes | payload | u32 CRC-32
//
// The CRC covers everything before it; integers are little-endian. The payload holds the
// records in index order, each as its ten stored fields in column order (RecordEncoding.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "inventory/InventoryTable.h"

namespace pictavo {

inline constexpr std::string_view TableFileMagic{"PCTVINV\x1A", 8};
inline constexpr std::uint32_t TableFileVersion = 1;
inline constexpr std::size_t TableFileHeaderSize = 20;
inline constexpr std::size_t TableFileTrailerSize = 4;

// CRC-32 (IEEE 802.3, as zip and PNG use).
std::uint32_t Crc32(std::string_view bytes);

std::string SerializeTable(const InventoryTable& table);

struct TableParseResult {
    std::vector<InventoryRecord> Records;  // empty when refused
    std::string Error;                     // why the bytes were refused; empty on success

    bool Ok() const noexcept { return Error.empty(); }
};

// Accepts only a complete, undamaged file of a known version. The lower-case copies are given
// as the running ANSI code page keys them (see encoding::Check).
TableParseResult ParseTable(std::string_view bytes);

// Parses, and replaces the table's content only when the bytes are accepted (cursors then go
// to the first record). Returns the refusal reason, empty on success. The first form keeps
// the bytes themselves as the table's storage instead of copying them; a refused file leaves
// them as they were.
std::string LoadTable(std::string&& bytes, InventoryTable& table);
std::string LoadTable(std::string_view bytes, InventoryTable& table);

}  // namespace pictavo
