#pragma once
// A picture file's path as it was written, with its key, split once.
//
// Windows gets the path as written. The key (ASCII capitals lowered, worked out
// once) only compares paths and finds records: under a double-byte code page a
// character's second byte can be a capital letter, so a lowered path names
// another file or none. The parts are found once, walking the path by
// characters of the ANSI code page, and serve the path and its key alike (the
// key has the same characters at the same places). Pure string work, so it
// also builds natively.
#include <string>
#include <string_view>

#include "platform/Paths.h"

namespace pictavo {

class PicturePath {
public:
    PicturePath() = default;
    // Not explicit: any path text is a path as written.
    PicturePath(std::string path);
    PicturePath(const char* path) : PicturePath(std::string(path)) {}
    PicturePath(std::string_view path) : PicturePath(std::string(path)) {}
    // A folder and a file name, joined with a backslash (a record's Location and FileName).
    PicturePath(std::string_view folder, std::string_view name);

    // For the system.
    const std::string& AsWritten() const noexcept { return path_; }
    // For comparing; never for the system.
    const std::string& Key() const noexcept { return key_; }
    bool Empty() const noexcept { return path_.empty(); }

    // The parts as written (ExtractFileName, ExtractFileDir, ExtractFileExt) and as keys.
    std::string Name() const { return path_.substr(split_.nameStart); }
    std::string Folder() const { return path_.substr(0, split_.folderEnd); }
    std::string Extension() const;
    std::string KeyName() const { return key_.substr(split_.nameStart); }
    std::string KeyFolder() const { return key_.substr(0, split_.folderEnd); }

    bool SameFile(const PicturePath& other) const noexcept { return key_ == other.key_; }

private:
    std::string path_;
    std::string key_;
    PathSplit split_;
};

}  // namespace pictavo
