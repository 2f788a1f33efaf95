#pragma once
// The shortcut that starts the program at every log-on, in the all-users
// start-up folder, kept in line with "Start with &Windows".
#include <string>

namespace pictavo {

constexpr char kStartupShortcutName[] = "Pictavo Tray Icon.lnk";

// The all-users start-up folder from the registry (never creating keys); empty when unknown.
std::string CommonStartupFolder();

// Writes (wanted) or deletes (not wanted) the shortcut to the program. Returns
// the message to show when the shortcut cannot be written or an unwanted one
// cannot be deleted, else empty.
// Without a known start-up folder nothing is done.
std::string SyncStartupShortcut(bool wanted, const std::string& programPath);

}  // namespace pictavo
