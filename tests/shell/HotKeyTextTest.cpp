#include "shell/HotKeyText.h"

#include <gtest/gtest.h>

namespace pictavo {
namespace {

HotKey Key(uint8_t key, bool ctrl, bool alt, bool shift) { return HotKey{key, ctrl, alt, shift}; }

TEST(HotKeyText, FormatsAndReadsBackEveryKindOfKey) {
    const struct {
        HotKey key;
        const char* text;
    } cases[] = {
        {HotKey{}, ""},
        {Key('N', true, true, false), "Ctrl+Alt+N"},
        {Key('7', false, true, false), "Alt+7"},
        {Key('Z', true, true, true), "Ctrl+Alt+Shift+Z"},
        {Key(0x74, true, false, true), "Ctrl+Shift+F5"},
        {Key(0x87, false, true, false), "Alt+F24"},
        {Key(0x21, true, false, false), "Ctrl+Page Up"},
        {Key(0x65, true, true, false), "Ctrl+Alt+Num 5"},
        {Key(0x6B, true, false, false), "Ctrl+Num +"},
        {Key(0xBD, true, false, false), "Ctrl+-"},
        {Key(0xDC, false, true, false), "Alt+\\"},
        {Key(0x20, true, false, false), "Ctrl+Space"},
        // A key with no name of its own keeps its number.
        {Key(0x92, true, true, false), "Ctrl+Alt+Key 0x92"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatHotKey(c.key), c.text);
        EXPECT_EQ(ParseHotKey(c.text), c.key) << c.text;
    }
}

TEST(HotKeyText, ReadsWhatAPersonWritesAndRefusesWhatNamesNoUsableKey) {
    const struct {
        const char* text;
        std::optional<HotKey> key;
    } cases[] = {
        {"  ", HotKey{}},
        {"ctrl+alt+n", Key('N', true, true, false)},
        {" Control + Shift + f12 ", Key(0x7B, true, false, true)},
        {"ALT+key 0x5d", Key(0x5D, false, true, false)},
        {"Alt+Ctrl+N", Key('N', true, true, false)},  // any order
        // Junk: unknown words, missing or doubled parts, numbers out of range.
        {"Ctrl+Alt+", std::nullopt},
        {"Ctrl+Alt", std::nullopt},
        {"Ctrl+Ctrl+N", std::nullopt},
        {"Ctrl+Alt+NN", std::nullopt},
        {"Ctrl+Meta+N", std::nullopt},
        {"Ctrl+F25", std::nullopt},
        {"Ctrl+F0", std::nullopt},
        {"Ctrl+F05", std::nullopt},
        {"Ctrl+Num 10", std::nullopt},
        {"Ctrl+Key 0x", std::nullopt},
        {"Ctrl+Key 0x100", std::nullopt},
        {"Ctrl+Key 0xZZ", std::nullopt},
        {"Ctrl+Key 0x00", std::nullopt},
        {"Ctrl+Alt++", std::nullopt},
        {"+", std::nullopt},
        {"Ctrl+Alt+N\x01", std::nullopt},
        // Keys that would be taken from typing in every program.
        {"N", std::nullopt},
        {"Shift+N", std::nullopt},
        {"F5", std::nullopt},
        // A modifier key is no key of its own.
        {"Ctrl+Alt+Key 0x10", std::nullopt},
        {"Ctrl+Key 0xA2", std::nullopt},
        {"Alt+Key 0x5B", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseHotKey(c.text), c.key) << "\"" << c.text << "\"";
}

}  // namespace
}  // namespace pictavo
