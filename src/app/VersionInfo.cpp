#include "app/VersionInfo.h"

#include <windows.h>

#include <vector>

#include "platform/Files.h"

namespace pictavo {
namespace {

std::vector<std::pair<std::string, std::string>>& Strings() {
    static std::vector<std::pair<std::string, std::string>> strings;
    return strings;
}

constexpr const char* kNames[] = {
    "CompanyName",      "FileDescription", "FileVersion",    "InternalName",
    "LegalCopyright",   "LegalTradeMarks", "OriginalFilename", "ProductName",
    "ProductVersion",   "Comments",        "BuildDateString",
};

}  // namespace

const std::vector<std::pair<std::string, std::string>>& VersionStrings() { return Strings(); }

void ReadVersionStrings(const std::string& programFile) {
    Strings().clear();
    const std::string file = programFile.empty() ? ExePath() : programFile;
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeA(file.c_str(), &handle);
    if (size == 0) return;
    std::vector<char> buffer(size);
    if (!::GetFileVersionInfoA(file.c_str(), 0, size, buffer.data())) return;
    for (const char* name : kNames) {
        std::string query = std::string("StringFileInfo\\040904E4\\") + name;
        char* value = nullptr;
        UINT length = 0;
        if (::VerQueryValueA(buffer.data(), query.c_str(), reinterpret_cast<void**>(&value),
                             &length) &&
            value) {
            Strings().emplace_back(name, std::string(value));  // up to its terminating zero
        }
    }
}

std::string GetVersionString(const std::string& name) {
    for (const auto& [key, value] : Strings()) {
        if (key == name) return value;
    }
    return {};
}

}  // namespace pictavo
