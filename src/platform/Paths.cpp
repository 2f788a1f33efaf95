#include "platform/Paths.h"

#include "platform/AnsiCodePage.h"

namespace pictavo {

std::string LowerCase(std::string_view text) {
    const AnsiCodePage& codePage = ProcessAnsiCodePage();
    std::string result(text);
    for (std::size_t at = 0; at < result.size();) {
        const std::size_t size = codePage.CharSize(result, at);
        if (size == 1) result[at] = LowerChar(result[at]);
        at += size;
    }
    return result;
}

PathSplit SplitPath(std::string_view path) {
    const AnsiCodePage& codePage = ProcessAnsiCodePage();
    PathSplit split;
    std::size_t kept = 0;  // the end of the last character that is not a backslash
    for (std::size_t at = 0; at < path.size();) {
        const std::size_t size = codePage.CharSize(path, at);
        const char c = size == 1 ? path[at] : '\0';
        if (c == '\\' || c == ':') {
            if (c == ':') kept = at + 1;
            split.nameStart = at + 1;
            split.folderEnd = kept;
            split.dot = std::string_view::npos;
        } else {
            if (c == '.') split.dot = at;
            kept = at + size;
        }
        at += size;
    }
    return split;
}

std::string_view StripTrailingBackslashes(std::string_view path) {
    const AnsiCodePage& codePage = ProcessAnsiCodePage();
    std::size_t kept = 0;
    for (std::size_t at = 0; at < path.size();) {
        const std::size_t size = codePage.CharSize(path, at);
        if (size != 1 || path[at] != '\\') kept = at + size;
        at += size;
    }
    return path.substr(0, kept);
}

std::string ExtractFileName(std::string_view path) {
    return std::string(path.substr(SplitPath(path).nameStart));
}

std::string ExtractFileDir(std::string_view path) {
    return std::string(path.substr(0, SplitPath(path).folderEnd));
}

std::string ExtractFileExt(std::string_view path) {
    const std::size_t dot = SplitPath(path).dot;
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    const std::size_t dot = SplitPath(path).dot;
    return std::string(path.substr(0, dot)).append(ext);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    return path.append(folder).append(1, '\\').append(name);
}

}  // namespace pictavo
