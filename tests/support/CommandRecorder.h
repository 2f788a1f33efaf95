#pragma once
// The stand-in program tools\record_command_line.exe, copied under a name of a
// test's choosing, and what it recorded when something started it.
#include <tlhelp32.h>
#include <windows.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace pictavo::testing {

struct RecordedStart {
    std::string commandLine;
    std::string folder;             // where it started
    std::vector<std::string> args;  // as the C runtime split them
};

class CommandRecorder {
public:
    // The built stand-in: tools\ of the build tree, found from a folder inside it.
    static std::string BuiltFrom(const std::string& buildFolder) {
        return buildFolder + "\\tools\\record_command_line.exe";
    }
    // The build tree of the running test program, which lies in tests\ (or tests\e2e\).
    static std::string BuildTreeOfThisProgram() {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string folder = path;
        folder.erase(folder.find_last_of('\\'));
        for (;;) {
            const std::string candidate = folder + "\\tools\\record_command_line.exe";
            if (::GetFileAttributesA(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) return folder;
            const size_t slash = folder.find_last_of('\\');
            if (slash == std::string::npos) return {};
            folder.erase(slash);
        }
    }

    // Copies the stand-in to this path.
    explicit CommandRecorder(std::string path) : path_(std::move(path)) {
        const std::string built = BuiltFrom(BuildTreeOfThisProgram());
        copied_ = ::CopyFileA(built.c_str(), path_.c_str(), FALSE) != 0;
    }
    ~CommandRecorder() {
        WaitUntilEnded();
        ::DeleteFileA(RecordPath().c_str());
        ::DeleteFileA(path_.c_str());
    }
    CommandRecorder(const CommandRecorder&) = delete;
    CommandRecorder& operator=(const CommandRecorder&) = delete;

    bool Copied() const { return copied_; }
    const std::string& Path() const { return path_; }
    std::string RecordPath() const { return path_ + ".txt"; }

    // Polls for the record, then for the program's end; nothing when it never came.
    std::optional<RecordedStart> WaitForStart(
        std::chrono::milliseconds deadline = std::chrono::seconds(30)) const {
        const auto end = std::chrono::steady_clock::now() + deadline;
        while (::GetFileAttributesA(RecordPath().c_str()) == INVALID_FILE_ATTRIBUTES) {
            if (std::chrono::steady_clock::now() > end) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        WaitUntilEnded(deadline);
        std::ifstream in(RecordPath(), std::ios::binary);
        RecordedStart start;
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("cmd ", 0) == 0) start.commandLine = line.substr(4);
            if (line.rfind("cwd ", 0) == 0) start.folder = line.substr(4);
            if (line.rfind("arg ", 0) == 0) start.args.push_back(line.substr(4));
        }
        return start;
    }

    // True once no program runs from a file of this copy's name.
    bool WaitUntilEnded(std::chrono::milliseconds deadline = std::chrono::seconds(30)) const {
        const std::string name = Lower(path_.substr(path_.find_last_of('\\') + 1));
        const auto end = std::chrono::steady_clock::now() + deadline;
        while (Running(name)) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return true;
    }

private:
    static std::string Lower(std::string text) {
        for (char& c : text) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        return text;
    }
    static bool Running(const std::string& lowerName) {
        HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return false;
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        bool found = false;
        for (BOOL more = ::Process32First(snapshot, &entry); more && !found;
             more = ::Process32Next(snapshot, &entry)) {
            found = Lower(entry.szExeFile) == lowerName;
        }
        ::CloseHandle(snapshot);
        return found;
    }

    std::string path_;
    bool copied_ = false;
};

}  // namespace pictavo::testing
