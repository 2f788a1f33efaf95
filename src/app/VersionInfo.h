#pragma once
// The string values of the program's own version resource, read once at start.
#include <string>
#include <utility>
#include <vector>

namespace pictavo {

// Reads "StringFileInfo\040904E4\<name>" for each known name from the given
// program file (the running program by default). Absent names are left out.
void ReadVersionStrings(const std::string& programFile = std::string());
// The value stored for the name, or empty.
std::string GetVersionString(const std::string& name);
const std::vector<std::pair<std::string, std::string>>& VersionStrings();

}  // namespace pictavo
