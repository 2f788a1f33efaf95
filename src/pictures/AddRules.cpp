#include "pictures/AddRules.h"

#include "imaging/PictureFormats.h"
#include "inventory/InventoryTable.h"
#include "platform/AnsiCodePage.h"
#include "platform/FileNames.h"

namespace pictavo {

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && LowerCase(a) == LowerCase(b);
}

std::string TrimBlanks(std::string_view text) {
    // Blanks as the user types them: spaces and control characters.
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

bool IsSupportedFileName(std::string_view path) { return IsPictureFileName(path); }

bool IsInputFileName(std::string_view path, const std::vector<std::string>& renames,
                     std::string_view pollFileName) {
    const std::string name = LowerCase(ExtractFileName(path));
    if (name.empty()) return false;
    for (const std::string& item : renames) {
        if (LowerCase(TrimBlanks(item)) == name) return true;
    }
    return LowerCase(TrimBlanks(pollFileName)) == name;
}

std::string ProposedName(std::string_view fileName) {
    const size_t dot = SplitPath(fileName).dot;
    return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(0, dot));
}

const char* const kUnacceptableNameMessage =
    "Error: Please type a name for the picture, without any of the characters "
    "\\ / : * ? \" < > |";

bool IsAcceptableName(std::string_view name) {
    // By characters: a double-byte character's second byte may be a backslash or a "|".
    return !name.empty() &&
           ProcessAnsiCodePage().FindChar(name, "\\/:*?\"<>|") == std::string_view::npos;
}

std::string NameRefusal(std::string_view name, std::string_view extension) {
    if (!IsAcceptableName(name)) return kUnacceptableNameMessage;
    if (IsDeviceName(std::string(name).append(extension))) {
        return "Error: " + std::string(name) +
               " is a name Windows keeps for a device. Please type another name for the picture.";
    }
    return {};
}

std::string LostCharactersName(std::string_view path) {
    // A long-path prefix holds the only "?" a real path may have. No
    // double-byte code page uses "?" as a second byte, so every "?" is one.
    if (path.substr(0, 4) == "\\\\?\\") path.remove_prefix(4);
    if (path.find('?') == std::string_view::npos) return {};
    std::string name = ExtractFileName(path);
    return name.find('?') != std::string::npos ? name : std::string(path);
}

std::string LostCharactersMessage(std::string_view name) {
    return "Error: " + std::string(name) +
           " cannot be added: its name holds characters that this system's code page cannot "
           "show.";
}

std::string TargetFolder(uint8_t option, std::string_view ownFolder,
                         std::string_view dataDirectory) {
    return std::string(option == kOptionLeave ? ownFolder : dataDirectory);
}

uint8_t EnabledOption(uint8_t selected, uint8_t wanted, uint8_t enabledMask) {
    if (selected & enabledMask) return selected;
    if (wanted & enabledMask) return wanted;
    for (uint8_t option : {kOptionLeave, kOptionMove, kOptionCopy}) {
        if (option & enabledMask) return option;
    }
    return selected;
}

std::string MakeCaptureName(std::string_view dataDirectory, std::string_view fileName,
                            const std::function<bool(const std::string&)>& exists) {
    for (unsigned n = 1;; ++n) {
        std::string candidate =
            std::string(dataDirectory) + "\\v" + std::to_string(n) + " of " + std::string(fileName);
        if (!exists(candidate)) return candidate;
    }
}

std::vector<std::string> SplitSelectedFiles(std::string_view buffer) {
    std::vector<std::string> parts;
    size_t at = 0;
    while (at < buffer.size() && buffer[at] != '\0') {
        size_t end = buffer.find('\0', at);
        if (end == std::string_view::npos) end = buffer.size();
        parts.emplace_back(buffer.substr(at, end - at));
        at = end + 1;
    }
    if (parts.size() <= 1) return parts;
    std::vector<std::string> files;
    const std::string folder(StripTrailingBackslashes(parts.front()));
    for (size_t i = 1; i < parts.size(); ++i) files.push_back(folder + "\\" + parts[i]);
    return files;
}

}  // namespace pictavo
