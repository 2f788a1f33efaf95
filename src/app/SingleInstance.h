#pragma once
// One running copy per desktop, and one per program folder on the whole
// machine: every user of a folder shares its list, its settings and its
// desktop bitmap, and two copies would save over each other's work.
#include <windows.h>

#include <string>

#include "platform/Handles.h"

namespace pictavo {

// The machine-wide name of a program folder's mutex: the same for every
// spelling of the folder, different for two folders.
std::string ProgramFolderMutexName(const std::string& folder);

class TSingleInstance {
public:
    enum class Claim {
        First,                  // this copy runs
        RunningHere,            // another copy runs on this desktop
        RunningForAnotherUser,  // a copy of this folder runs in another session
    };
    // Takes the desktop's mutex "Pictavo", then the folder's. Both are held
    // for the life of the object; the system lets go of them when the
    // process ends, whatever way it ends.
    Claim Take(const std::string& programFolder);

private:
    UniqueHandle session_;
    UniqueHandle folder_;
};

}  // namespace pictavo
