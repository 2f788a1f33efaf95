#include "support/LeftoverGuard.h"

#include <gtest/gtest.h>
#include <psapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include "platform/Handles.h"

namespace pictavo::testing {
namespace {

std::string LowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string WithoutTrailingBackslash(std::string folder) {
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

std::vector<std::string> WatchedFolders() {
    std::vector<std::string> folders;
    char path[MAX_PATH] = {};
    if (::GetModuleFileNameA(nullptr, path, MAX_PATH)) {
        std::string program = path;
        folders.push_back(program.substr(0, program.find_last_of('\\')));
    }
    if (::GetTempPathA(MAX_PATH, path)) folders.push_back(WithoutTrailingBackslash(path));
    for (int csidl : {CSIDL_COMMON_STARTUP, CSIDL_STARTUP}) {
        if (SUCCEEDED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
            folders.push_back(WithoutTrailingBackslash(path));
        }
    }
    return folders;
}

std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.insert(LowerCase(name));
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return names;
}

std::string Wallpaper() {
    UniqueHKey desktop;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE,
                        desktop.Put()) != ERROR_SUCCESS) {
        return {};
    }
    char value[MAX_PATH * 2] = {};
    DWORD size = sizeof(value) - 1;
    if (::RegQueryValueExA(desktop.Get(), "Wallpaper", nullptr, nullptr,
                           reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS) {
        return {};
    }
    return value;
}

// Wine starts its own helpers (the desktop, the menu builder) from the first
// program that needs them; those belong to the prefix, not to the test.
bool IsSystemProgram(DWORD id) {
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
    char image[MAX_PATH] = {}, windows[MAX_PATH] = {};
    if (!process || !::GetModuleFileNameExA(process.Get(), nullptr, image, MAX_PATH) ||
        !::GetWindowsDirectoryA(windows, MAX_PATH)) {
        return false;
    }
    return LowerCase(image).rfind(LowerCase(windows) + "\\", 0) == 0;
}

std::map<DWORD, std::string> RunningChildren() {
    std::map<DWORD, std::string> children;
    UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return children;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    const DWORD self = ::GetCurrentProcessId();
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more;
         more = ::Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ParentProcessID == self && entry.th32ProcessID != self &&
            !IsSystemProgram(entry.th32ProcessID)) {
            children[entry.th32ProcessID] = entry.szExeFile;
        }
    }
    return children;
}

class LeftoverListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { before_ = CapturePrefixState(); }
    // Runs before the result printer's OnTestEnd, so the failure is the test's own.
    void OnTestEnd(const ::testing::TestInfo&) override {
        const PrefixState after = CapturePrefixState();
        for (const std::string& leftover : Leftovers(before_, after)) {
            ADD_FAILURE() << "The test left this behind in the Wine prefix: " << leftover;
        }
        Restore(before_, after);
    }
    PrefixState before_;
};

// Registered before main() runs, for every test program that links this file.
const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new LeftoverListener);
    return true;
}();

}  // namespace

PrefixState CapturePrefixState() {
    PrefixState state;
    for (const std::string& folder : WatchedFolders()) state.folders[folder] = NamesIn(folder);
    state.wallpaper = Wallpaper();
    state.children = RunningChildren();
    return state;
}

std::vector<std::string> Leftovers(const PrefixState& before, const PrefixState& after) {
    std::vector<std::string> found;
    for (const auto& [folder, names] : after.folders) {
        auto earlier = before.folders.find(folder);
        for (const std::string& name : names) {
            if (earlier == before.folders.end() || !earlier->second.count(name)) {
                found.push_back(folder + "\\" + name);
            }
        }
    }
    if (after.wallpaper != before.wallpaper) {
        found.push_back("the desktop wallpaper \"" + after.wallpaper + "\" (it was \"" +
                        before.wallpaper + "\")");
    }
    for (const auto& [id, name] : after.children) {
        if (!before.children.count(id)) {
            found.push_back("the running program " + name + " (process " + std::to_string(id) +
                            ")");
        }
    }
    return found;
}

void Restore(const PrefixState& before, const PrefixState& after) {
    for (const auto& [id, name] : after.children) {
        if (before.children.count(id)) continue;
        UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (!process) continue;
        ::TerminateProcess(process.Get(), 1);
        ::WaitForSingleObject(process.Get(), 10000);
    }
    if (after.wallpaper != before.wallpaper) {
        std::string previous = before.wallpaper;
        ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, previous.data(), SPIF_UPDATEINIFILE);
    }
}

}  // namespace pictavo::testing
