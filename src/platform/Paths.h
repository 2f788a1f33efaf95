#pragma once
// Path text: the pieces of Windows paths as the program compares and stores them.
// Pure string work (no system calls), so it also builds natively.
#include <string>
#include <string_view>

namespace pictavo {

// ASCII A-Z to a-z; every other byte (accented letters of the ANSI code page too) unchanged.
constexpr char LowerChar(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}
std::string LowerCase(std::string_view text);

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
