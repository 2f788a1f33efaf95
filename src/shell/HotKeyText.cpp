#include "shell/HotKeyText.h"

#include <cctype>
#include <cstdio>

namespace pictavo {
namespace {

// Virtual-key codes with names of their own (the values are the system's; this
// file is built without its headers). Letters and digits are their own names.
struct NamedKey {
    uint8_t key;
    const char* name;
};
constexpr NamedKey kNamedKeys[] = {
    {0x08, "Backspace"}, {0x09, "Tab"},       {0x0D, "Enter"},      {0x13, "Pause"},
    {0x14, "Caps Lock"}, {0x1B, "Esc"},       {0x20, "Space"},      {0x21, "Page Up"},
    {0x22, "Page Down"}, {0x23, "End"},       {0x24, "Home"},       {0x25, "Left"},
    {0x26, "Up"},        {0x27, "Right"},     {0x28, "Down"},       {0x2C, "Print Screen"},
    {0x2D, "Insert"},    {0x2E, "Delete"},    {0x6A, "Num *"},      {0x6B, "Num +"},
    {0x6D, "Num -"},     {0x6E, "Num ."},     {0x6F, "Num /"},      {0x90, "Num Lock"},
    {0x91, "Scroll Lock"}, {0xBA, ";"},       {0xBB, "="},          {0xBC, ","},
    {0xBD, "-"},         {0xBE, "."},         {0xBF, "/"},          {0xC0, "`"},
    {0xDB, "["},         {0xDC, "\\"},        {0xDD, "]"},          {0xDE, "'"},
};

constexpr uint8_t kNumpad0 = 0x60, kF1 = 0x70, kF24 = 0x87;
constexpr const char* kGenericPrefix = "Key 0x";

bool IsModifierOrMouse(uint8_t key) {
    return key <= 0x06 ||                    // mouse buttons and Break
           (key >= 0x10 && key <= 0x12) ||   // Shift, Ctrl, Alt
           (key >= 0x5B && key <= 0x5C) ||   // the Windows keys
           (key >= 0xA0 && key <= 0xA5);     // left and right Shift, Ctrl, Alt
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string KeyName(uint8_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
    if (key >= kNumpad0 && key <= kNumpad0 + 9) return "Num " + std::to_string(key - kNumpad0);
    if (key >= kF1 && key <= kF24) return "F" + std::to_string(key - kF1 + 1);
    for (const NamedKey& named : kNamedKeys) {
        if (named.key == key) return named.name;
    }
    char generic[16];
    std::snprintf(generic, sizeof(generic), "%s%02X", kGenericPrefix, key);
    return generic;
}

// 0 when the text names no key.
uint8_t KeyFromName(std::string_view name) {
    if (name.size() == 1) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return static_cast<uint8_t>(c);
    }
    for (const NamedKey& named : kNamedKeys) {
        if (SameText(name, named.name)) return named.key;
    }
    // "F1" to "F24", "Num 0" to "Num 9", "Key 0x.." with one or two hex digits.
    auto number = [](std::string_view digits, int base, int limit) {
        if (digits.empty() || digits.size() > 2) return -1;
        int value = 0;
        for (char c : digits) {
            const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                              : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                                  ? Lower(c) - 'a' + 10
                                  : -1;
            if (digit < 0) return -1;
            value = value * base + digit;
        }
        return value <= limit ? value : -1;
    };
    if (name.size() > 1 && Lower(name[0]) == 'f') {
        const int n = number(name.substr(1), 10, 24);
        if (n >= 1 && name[1] != '0') return static_cast<uint8_t>(kF1 + n - 1);
    }
    if (name.size() == 5 && SameText(name.substr(0, 4), "Num ")) {
        const int n = number(name.substr(4), 10, 9);
        if (n >= 0) return static_cast<uint8_t>(kNumpad0 + n);
    }
    const std::string_view prefix = kGenericPrefix;
    if (name.size() > prefix.size() && SameText(name.substr(0, prefix.size()), prefix)) {
        const int n = number(name.substr(prefix.size()), 16, 0xFF);
        if (n > 0) return static_cast<uint8_t>(n);
    }
    return 0;
}

}  // namespace

bool IsUsableHotKey(const HotKey& hotKey) {
    return !hotKey.None() && !IsModifierOrMouse(hotKey.key) && (hotKey.ctrl || hotKey.alt);
}

std::string FormatHotKey(const HotKey& hotKey) {
    if (hotKey.None()) return "";
    std::string text;
    if (hotKey.ctrl) text += "Ctrl+";
    if (hotKey.alt) text += "Alt+";
    if (hotKey.shift) text += "Shift+";
    return text + KeyName(hotKey.key);
}

std::optional<HotKey> ParseHotKey(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return HotKey{};
    HotKey hotKey;
    // Modifiers, each a word and a plus sign, then the key's name (which may
    // itself hold a plus sign: "Num +").
    for (;;) {
        const size_t plus = text.find('+');
        if (plus == std::string_view::npos || plus + 1 == text.size()) break;
        const std::string_view word = Trim(text.substr(0, plus));
        bool* flag = SameText(word, "Ctrl") || SameText(word, "Control") ? &hotKey.ctrl
                     : SameText(word, "Alt")                            ? &hotKey.alt
                     : SameText(word, "Shift")                          ? &hotKey.shift
                                                                        : nullptr;
        if (!flag) break;
        if (*flag) return std::nullopt;  // named twice
        *flag = true;
        text = Trim(text.substr(plus + 1));
    }
    hotKey.key = KeyFromName(text);
    if (!IsUsableHotKey(hotKey)) return std::nullopt;
    return hotKey;
}

}  // namespace pictavo
