#pragma once
// The rules of adding a picture, on plain values: which files are taken, which
// are a browser's wallpaper drop, what the "Add Wallpaper" dialog proposes and
// accepts as a name, where a confirmed file goes, and the free name for a
// captured picture.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pictavo {

// The copy options of the "Add Wallpaper" dialog, as bits of its option masks.
enum CopyOption : uint8_t {
    kOptionMove = 1,
    kOptionCopy = 2,
    kOptionLeave = 4,
};

bool SameTextIgnoringCase(std::string_view a, std::string_view b);
// Without blanks at either end.
std::string TrimBlanks(std::string_view text);

// The pictures the program takes: bitmaps, JPEG, PNG, GIF and TIFF, by the
// name's extension.
bool IsSupportedFileName(std::string_view path);

// A browser's fixed wallpaper name: one of the fixed renames, or the watched
// poll file name, compared trimmed and without regard to case.
bool IsInputFileName(std::string_view path, const std::vector<std::string>& renames,
                     std::string_view pollFileName);

// What the Name box offers: the file name up to its last "." (so
// "my.photo.bmp" gives "my.photo"), empty for a name without one.
std::string ProposedName(std::string_view fileName);

// A typed name (already trimmed) free of the characters a file name cannot hold.
bool IsAcceptableName(std::string_view name);
extern const char* const kUnacceptableNameMessage;
// Why a typed name (already trimmed) cannot become the picture's name with
// its extension (".jpg", say); empty when it can. Besides the characters, a
// device name ("nul" gives "nul.jpg", which swallows a copy and reports
// success) is refused.
std::string NameRefusal(std::string_view name, std::string_view extension);

// The open dialog and a drop put "?" for each character of a name that the
// ANSI code page cannot hold, and no real path holds one: the text that
// names such a file to the user (its name, or the whole path when only a
// folder lost characters), empty for a path without "?".
std::string LostCharactersName(std::string_view path);
// What the user is told about that file.
std::string LostCharactersMessage(std::string_view name);

// The folder a confirmed file goes to: its own folder for Leave, else the
// data directory.
std::string TargetFolder(uint8_t option, std::string_view ownFolder,
                         std::string_view dataDirectory);

// The selected option if it is enabled; otherwise the wanted one if enabled;
// otherwise the first enabled of Leave, Move, Copy.
uint8_t EnabledOption(uint8_t selected, uint8_t wanted, uint8_t enabledMask);

// The data directory, "\v", N, " of " and the name, for the first N from 1
// at which nothing exists.
std::string MakeCaptureName(std::string_view dataDirectory, std::string_view fileName,
                            const std::function<bool(const std::string&)>& exists);

// The files an open dialog chose, from its buffer of names each ending in a
// zero and the whole in two: one full path, or a folder and then names in it.
std::vector<std::string> SplitSelectedFiles(std::string_view buffer);

}  // namespace pictavo
