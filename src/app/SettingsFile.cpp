#include "app/SettingsFile.h"

#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "app/ProfileValue.h"

namespace pictavo {
namespace {
constexpr DWORD kValueBuffer = 1024;
}

std::string TSettingsFile::ReadString(const char* section, const char* key,
                                      const std::string& fallback) const {
    char buffer[kValueBuffer];
    DWORD n = ::GetPrivateProfileStringA(section, key, fallback.c_str(), buffer, kValueBuffer,
                                         path_.c_str());
    return std::string(buffer, n);
}

int32_t TSettingsFile::ReadInteger(const char* section, const char* key, int32_t fallback) const {
    // A sentinel default tells a missing key from a stored value.
    char buffer[kValueBuffer];
    ::GetPrivateProfileStringA(section, key, "", buffer, kValueBuffer, path_.c_str());
    return ProfileIntegerOr(buffer, fallback);
}

bool TSettingsFile::ReadBool(const char* section, const char* key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool TSettingsFile::HoldsSavedSettings() const {
    // Section and entry lists are runs of strings ended by an empty one. A
    // list that does not fit is reported cut short: it holds more than one entry.
    std::vector<char> sections(kValueBuffer);
    const DWORD n = ::GetPrivateProfileSectionNamesA(sections.data(), kValueBuffer, path_.c_str());
    if (n >= kValueBuffer - 2) return true;
    for (const char* name = sections.data(); *name; name += std::strlen(name) + 1) {
        if (::lstrcmpiA(name, "General") != 0) return true;
        std::vector<char> entries(kValueBuffer);
        const DWORD m = ::GetPrivateProfileSectionA(name, entries.data(), kValueBuffer, path_.c_str());
        if (m >= kValueBuffer - 2) return true;
        for (const char* entry = entries.data(); *entry; entry += std::strlen(entry) + 1) {
            const char* equals = std::strchr(entry, '=');
            const std::string key(entry, equals ? equals : entry + std::strlen(entry));
            if (::lstrcmpiA(key.c_str(), "StartWithWindows") != 0) return true;
        }
    }
    return false;
}

void TSettingsFile::WriteString(const char* section, const char* key,
                                const std::string& value) const {
    // Some systems (Wine run by an administrator) write into a read-only file
    // regardless; the mark is the user saying "keep it", so honour it everywhere.
    DWORD attributes = ::GetFileAttributesA(path_.c_str());
    const bool readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly || !::WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str())) {
        throw SettingsWriteError(path_);
    }
}

void TSettingsFile::WriteInteger(const char* section, const char* key, int32_t value) const {
    WriteString(section, key, std::to_string(value));
}

void TSettingsFile::WriteBool(const char* section, const char* key, bool value) const {
    WriteString(section, key, value ? "1" : "0");
}

}  // namespace pictavo
