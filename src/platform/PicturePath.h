#pragma once
// A picture file's path as it was written, with its key.
//
// Windows gets the path as written. The key (ASCII capitals lowered, worked out
// once) only compares paths and finds records: under a double-byte code page a
// character's second byte can be a capital letter, so a lowered path names
// another file or none. Pure string work, so it also builds natively.
#include <string>
#include <string_view>

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

    // The parts as written (ExtractFileName, ExtractFileDir) and as keys.
    std::string Name() const;
    std::string Folder() const;
    std::string Extension() const;
    std::string KeyName() const;
    std::string KeyFolder() const;

    bool SameFile(const PicturePath& other) const noexcept { return key_ == other.key_; }

private:
    std::string path_;
    std::string key_;
};

}  // namespace pictavo
