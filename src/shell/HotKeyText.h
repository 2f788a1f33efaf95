#pragma once
// A hot key as the settings file keeps it, in words a person reads and writes:
// "Ctrl+Alt+N", "Ctrl+Shift+F5", empty for none.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pictavo {

struct HotKey {
    uint8_t key = 0;  // virtual-key code; 0 for no hot key
    bool ctrl = false;
    bool alt = false;
    bool shift = false;

    bool None() const { return key == 0; }
    bool operator==(const HotKey&) const = default;
};

// A key taken from every program must not be one used for typing: it needs
// Ctrl or Alt, and no modifier key stands as the key itself.
bool IsUsableHotKey(const HotKey& hotKey);

// "Ctrl+Alt+Shift+<key>", the modifiers in that order; empty for none. A key
// with no name of its own is written by its number ("Key 0x92").
std::string FormatHotKey(const HotKey& hotKey);

// The reverse of FormatHotKey, without regard to case or to blanks around the
// parts; "Control" passes for "Ctrl". Empty text is no hot key; text that
// names no usable hot key gives nothing.
std::optional<HotKey> ParseHotKey(std::string_view text);

}  // namespace pictavo
