#include "app/SingleInstance.h"

#include <cstdint>
#include <cstdio>

#include "platform/Paths.h"

namespace pictavo {
namespace {

// Held (or abandoned by a copy that died, which counts as free).
bool TakenByOther(HANDLE mutex) { return ::WaitForSingleObject(mutex, 0) == WAIT_TIMEOUT; }

}  // namespace

std::string ProgramFolderMutexName(const std::string& folder) {
    char name[64];
    // The folder itself, whatever path reaches it (a short name, another
    // letter case, a drive letter of its own).
    UniqueHandle handle(::CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (handle && ::GetFileInformationByHandle(handle.Get(), &info)) {
        std::snprintf(name, sizeof(name), "Global\\Pictavo.%08lX.%08lX%08lX",
                      static_cast<unsigned long>(info.dwVolumeSerialNumber),
                      static_cast<unsigned long>(info.nFileIndexHigh),
                      static_cast<unsigned long>(info.nFileIndexLow));
        return name;
    }
    // Otherwise its path in long form and lower case, as a hash: a mutex name
    // takes no backslash.
    std::string path = folder;
    char longPath[MAX_PATH];
    const DWORD length = ::GetLongPathNameA(folder.c_str(), longPath, MAX_PATH);
    if (length > 0 && length < MAX_PATH) path.assign(longPath, length);
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : LowerCase(StripTrailingBackslashes(path))) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    std::snprintf(name, sizeof(name), "Global\\Pictavo.%016llX",
                  static_cast<unsigned long long>(hash));
    return name;
}

TSingleInstance::Claim TSingleInstance::Take(const std::string& programFolder) {
    // Per session, as ever: a second copy on this desktop asks the first to show itself.
    session_.Reset(::CreateMutexA(nullptr, FALSE, "Pictavo"));
    if (session_ && TakenByOther(session_.Get())) return Claim::RunningHere;
    // A copy of this folder in another session holds the folder's mutex
    // (and holds nothing on this desktop, or the test above would have met it).
    folder_.Reset(::CreateMutexA(nullptr, FALSE, ProgramFolderMutexName(programFolder).c_str()));
    if (!folder_) {
        // Another user's mutex, made with that user's rights.
        return ::GetLastError() == ERROR_ACCESS_DENIED ? Claim::RunningForAnotherUser
                                                       : Claim::First;
    }
    return TakenByOther(folder_.Get()) ? Claim::RunningForAnotherUser : Claim::First;
}

}  // namespace pictavo
