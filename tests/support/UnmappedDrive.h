#pragma once
// A drive letter nothing is mapped to, as after a disk was unplugged.
#include <windows.h>

#include <string>

namespace pictavo::testing {

// "Q:" and the like; empty when every letter is taken.
inline std::string UnmappedDrive() {
    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Y'; letter >= 'G'; --letter) {
        if (!(drives & (1u << (letter - 'A')))) return std::string(1, letter) + ":";
    }
    return {};
}

}  // namespace pictavo::testing
