#pragma once
// Path text: the pieces of Windows paths as the program compares and stores them.
// Paths are in the process's ANSI code page and are walked by its characters
// (AnsiCodePage.h): a backslash, colon or dot is a separator only as a character
// of its own, never as the second byte of a double-byte one.
// Pure string work (no system calls), so it also builds natively.
#include <cstddef>
#include <string>
#include <string_view>

namespace pictavo {

// ASCII A-Z to a-z; every other byte unchanged. For one single-byte character:
// a string is lowered with LowerCase, which passes second bytes by.
constexpr char LowerChar(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}
// The single-byte ASCII capitals lowered; accented letters of the ANSI code
// page and both bytes of a double-byte character unchanged.
std::string LowerCase(std::string_view text);

// Where a path parts, found in one walk from its start.
struct PathSplit {
    std::size_t nameStart = 0;  // the first byte after the last backslash or colon
    std::size_t folderEnd = 0;  // the end of the folder: up to nameStart, trailing backslashes off
    std::size_t dot = std::string_view::npos;  // the last dot of the name; npos when none
};
PathSplit SplitPath(std::string_view path);

// The returned view points into the argument.
std::string_view StripTrailingBackslashes(std::string_view path);

// Everything after the last backslash or colon.
std::string ExtractFileName(std::string_view path);
// Everything up to and including the last backslash or colon, with every trailing backslash
// removed ("C:\Pics\\a.bmp" and "C:\Pics\a.bmp" give "C:\Pics"; "C:\a.bmp" gives "C:").
std::string ExtractFileDir(std::string_view path);
// The extension: from the last dot of the file name on, empty for a name without one.
std::string ExtractFileExt(std::string_view path);
// The extension (from the last dot of the file name on) replaced by ext, or ext appended.
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// folder, a backslash, name.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace pictavo
