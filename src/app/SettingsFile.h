#pragma once
// Typed access to the settings file, entry by entry, through the system's
// profile functions.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/Guard.h"

namespace pictavo {

// The settings file refused a write: "Unable to write to " and its path.
class SettingsWriteError : public NoticeError {
public:
    explicit SettingsWriteError(const std::string& path)
        : NoticeError("Unable to write to " + path) {}
};

class TSettingsFile {
public:
    explicit TSettingsFile(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }

    // Values longer than 1023 characters are cut.
    std::string ReadString(const char* section, const char* key, const std::string& fallback) const;
    int32_t ReadInteger(const char* section, const char* key, int32_t fallback) const;
    bool ReadBool(const char* section, const char* key, bool fallback) const;

    // Whether the program has saved its settings here. A setup program may
    // leave the user's start-up choice ("StartWithWindows" under "General")
    // before the program ever ran: a file holding only that is not a run.
    bool HoldsSavedSettings() const;

    // Throw SettingsWriteError when the file refuses the write.
    void WriteString(const char* section, const char* key, const std::string& value) const;
    void WriteInteger(const char* section, const char* key, int32_t value) const;
    void WriteBool(const char* section, const char* key, bool value) const;

private:
    std::string path_;
};

}  // namespace pictavo
