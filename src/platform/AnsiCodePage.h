#pragma once
// Characters of the ANSI code page in byte strings. In a double-byte code page
// (932, 936, 949, 950) a character may take two bytes, and its second byte can
// be any byte from 0x40 up: a backslash, a "|", a capital letter. A byte found
// by searching may therefore be half of a character: such text is walked from
// its start, a character at a time, never searched or stepped back by bytes.
// Pure (no system calls): the Windows build takes the process's own table from
// the system.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pictavo {

class AnsiCodePage {
public:
    // Single-byte: every byte is a character.
    AnsiCodePage() = default;
    // The lead bytes of 932, 936, 949 and 950 as the system has them; every
    // other code page is single-byte.
    static AnsiCodePage Builtin(unsigned number);

    void MarkLeadByte(unsigned char b) noexcept { lead_[b >> 5] |= std::uint32_t{1} << (b & 31); }
    bool IsLeadByte(unsigned char b) const noexcept { return (lead_[b >> 5] >> (b & 31)) & 1; }

    // The bytes of the character that starts at `at` (below text.size()): two
    // for a lead byte with a byte other than NUL after it, as CharNextExA
    // steps; one otherwise.
    std::size_t CharSize(std::string_view text, std::size_t at) const noexcept {
        return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() &&
                       text[at + 1] != '\0'
                   ? 2
                   : 1;
    }

    // Where the first character that is one of `set` (single-byte characters)
    // starts; npos when there is none. A second byte never matches.
    std::size_t FindChar(std::string_view text, std::string_view set) const noexcept;

private:
    std::array<std::uint32_t, 8> lead_{};
};

// The code page of the process's ANSI strings: the system's, or the one a
// ScopedAnsiCodePage puts in its place.
const AnsiCodePage& ProcessAnsiCodePage() noexcept;

// The system's ANSI code page, asked once. Each build defines it: the Windows
// build asks the system, the native build (no system to ask) is single-byte.
AnsiCodePage SystemAnsiCodePage();

// For tests: the process's ANSI code page is another one while this lives.
class ScopedAnsiCodePage {
public:
    explicit ScopedAnsiCodePage(unsigned number);
    ~ScopedAnsiCodePage();
    ScopedAnsiCodePage(const ScopedAnsiCodePage&) = delete;
    ScopedAnsiCodePage& operator=(const ScopedAnsiCodePage&) = delete;

private:
    AnsiCodePage codePage_;
    const AnsiCodePage* previous_;
};

}  // namespace pictavo
