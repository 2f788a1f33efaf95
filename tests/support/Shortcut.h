#pragma once
// Reads a shell shortcut back, as the shell would follow it.
#include <string>

namespace pictavo::testing {

struct ShortcutContents {
    bool read = false;
    std::string target;
    std::string workingDirectory;
};

// Through the shell's link object: the thread must have COM initialised.
ShortcutContents ReadShortcut(const std::string& path);

}  // namespace pictavo::testing
