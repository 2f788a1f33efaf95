#include "app/ProfileValue.h"

namespace pictavo {
namespace {

std::optional<int32_t> ParseDigits(std::string_view digits, int base, bool negative) {
    if (digits.empty()) return std::nullopt;
    int64_t value = 0;
    const int64_t limit = negative ? 0x80000000LL : (base == 16 ? 0xFFFFFFFFLL : 0x7FFFFFFFLL);
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            d = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value * base + d;
        if (value > limit) return std::nullopt;
    }
    // Hexadecimal covers the whole 32-bit pattern, as in "$FFFFFFFF" for -1.
    if (negative) value = -value;
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

}  // namespace

std::optional<int32_t> ParseProfileInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return ParseDigits(text.substr(2), 16, false);
    }
    bool negative = false;
    size_t pos = 0;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos < text.size() && text[pos] == '$') return ParseDigits(text.substr(pos + 1), 16, negative);
    return ParseDigits(text.substr(pos), 10, negative);
}

}  // namespace pictavo
