#pragma once
// The record a trace line travels in: a length byte, up to 255 characters,
// and the 32-bit integer 32 at offset 256, little-endian.
#include <array>
#include <cstdint>
#include <string_view>

namespace pictavo {

constexpr uint32_t kTraceCopyDataId = 3232;
constexpr size_t kTraceRecordSize = 260;
constexpr size_t kTraceMaxText = 255;
constexpr char kTraceWindowTitle[] = "Norvex Message Window";

using TraceRecord = std::array<uint8_t, kTraceRecordSize>;

inline TraceRecord BuildTraceRecord(std::string_view text) {
    TraceRecord record{};
    size_t n = text.size() < kTraceMaxText ? text.size() : kTraceMaxText;
    record[0] = static_cast<uint8_t>(n);
    for (size_t i = 0; i < n; ++i) record[1 + i] = static_cast<uint8_t>(text[i]);
    record[256] = 32;
    return record;
}

inline std::string_view TraceRecordText(const uint8_t* record) {
    return std::string_view(reinterpret_cast<const char*>(record + 1), record[0]);
}

}  // namespace pictavo
