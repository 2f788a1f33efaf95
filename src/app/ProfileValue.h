#pragma once
// How values stored in the settings file are read back.
#include <cstdint>
#include <optional>
#include <string_view>

namespace pictavo {

// A decimal integer, or hexadecimal after "0x"/"0X" (when more than two
// characters long) or "$"; anything else is not a number.
std::optional<int32_t> ParseProfileInteger(std::string_view text);

inline int32_t ProfileIntegerOr(std::string_view text, int32_t fallback) {
    return ParseProfileInteger(text).value_or(fallback);
}

}  // namespace pictavo
