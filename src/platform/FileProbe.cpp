#include "platform/FileProbe.h"

#include <windows.h>

#include "platform/AnsiCodePage.h"
#include "platform/Paths.h"

namespace pictavo::FileProbe {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The first separator at or after `from` (a character boundary), walking by characters: a
// server's or share's name may hold a character whose second byte is a backslash.
size_t NextSeparator(const std::string& path, size_t from) {
    const AnsiCodePage& codePage = ProcessAnsiCodePage();
    while (from < path.size()) {
        const size_t size = codePage.CharSize(path, from);
        if (size == 1 && IsSeparator(path[from])) return from;
        from += size;
    }
    return path.size();
}

bool RootAnswers(const std::string& root) {
    const DWORD attributes = ::GetFileAttributesA(root.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string PathRoot(const std::string& path) {
    if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':') return path.substr(0, 2) + "\\";
    if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return {};
    // \\server\share: both parts must be there and not empty.
    const size_t server = 2;
    const size_t share = NextSeparator(path, server);
    if (share == server || share + 1 >= path.size()) return {};
    const size_t end = NextSeparator(path, share + 1);
    if (end == share + 1) return {};
    return "\\\\" + path.substr(server, share - server) + "\\" +
           path.substr(share + 1, end - share - 1) + "\\";
}

// A timer tick that looks at an empty removable drive gets an answer, not
// the system's "There is no disk in the drive" box.
Batch::Batch() : previousErrorMode_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {
    ::SetErrorMode(previousErrorMode_ | SEM_FAILCRITICALERRORS);
}

Batch::~Batch() { ::SetErrorMode(previousErrorMode_); }

State Batch::Probe(const std::string& path) {
    // The root as written goes to the system, its lower case is the key.
    const std::string root = PathRoot(path);
    const std::string rootKey = LowerCase(root);
    const auto known = rootAnswers_.find(rootKey);
    if (known != rootAnswers_.end() && !known->second) return State::Unreachable;

    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // A folder where the picture was: the picture is not there.
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? State::Vanished : State::Present;
    }
    const DWORD error = ::GetLastError();
    // Only "not found" can mean gone, and only where the drive or share answers:
    // an unmapped letter or a missing folder on a missing share say the same.
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return State::Unreachable;
    if (root.empty()) return State::Unreachable;
    const bool answers =
        known != rootAnswers_.end() ? known->second : (rootAnswers_[rootKey] = RootAnswers(root));
    return answers ? State::Vanished : State::Unreachable;
}

State Probe(const std::string& path) { return Batch().Probe(path); }

}  // namespace pictavo::FileProbe
