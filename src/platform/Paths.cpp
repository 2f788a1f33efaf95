#include "platform/Paths.h"

#include <algorithm>

namespace pictavo {
namespace {

// Index of the first byte after the last backslash or colon (0 when there is none).
std::size_t NameStart(std::string_view path) noexcept {
    std::size_t pos = path.find_last_of("\\:");
    return pos == std::string_view::npos ? 0 : pos + 1;
}

}  // namespace

std::string LowerCase(std::string_view text) {
    std::string result(text.size(), '\0');
    std::transform(text.begin(), text.end(), result.begin(), LowerChar);
    return result;
}

std::string_view StripTrailingBackslashes(std::string_view path) {
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return path;
}

std::string ExtractFileName(std::string_view path) {
    return std::string(path.substr(NameStart(path)));
}

std::string ExtractFileDir(std::string_view path) {
    return std::string(StripTrailingBackslashes(path.substr(0, NameStart(path))));
}

std::string ExtractFileExt(std::string_view path) {
    const std::size_t dot = path.find_last_of('.');
    return dot == std::string_view::npos || dot < NameStart(path) ? std::string()
                                                                  : std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    const std::size_t dot = path.find_last_of('.');
    std::string result(
        dot == std::string_view::npos || dot < NameStart(path) ? path : path.substr(0, dot));
    return result.append(ext);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    return path.append(folder).append(1, '\\').append(name);
}

}  // namespace pictavo
