#pragma once
// Every test runs in the build's one Wine prefix, so what one test leaves there
// (a settings file beside the test program, a start-up shortcut, the desktop
// wallpaper, a program still running) changes what the next one sees. A guard
// registered with GoogleTest compares the prefix before and after each test and
// fails the test that left something behind.
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace pictavo::testing {

struct PrefixState {
    // Folder -> the names in it, in lower case.
    std::map<std::string, std::set<std::string>> folders;
    std::string wallpaper;
    // Programs this test program started that still run: process id -> file name.
    std::map<DWORD, std::string> children;
};

// Beside the test program, the temporary folder, both start-up folders, the
// desktop wallpaper and this program's running children.
PrefixState CapturePrefixState();

// One line for each thing `after` holds that `before` did not.
std::vector<std::string> Leftovers(const PrefixState& before, const PrefixState& after);

// Ends the children a test left running and puts the wallpaper back, so that
// one test's leftovers do not fail the tests after it.
void Restore(const PrefixState& before, const PrefixState& after);

}  // namespace pictavo::testing
