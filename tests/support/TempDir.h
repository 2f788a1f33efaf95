#pragma once
// A fresh folder under the temporary folder, removed with its content.
#include <windows.h>
#include <shellapi.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace pictavo::testing {

class TempDir {
public:
    TempDir() {
        char base[MAX_PATH];
        ::GetTempPathA(MAX_PATH, base);
        static unsigned counter = 0;
        for (;;) {
            path_ = std::string(base) + "pictavo-unit-" + std::to_string(::GetCurrentProcessId()) +
                    "-" + std::to_string(++counter);
            if (::CreateDirectoryA(path_.c_str(), nullptr)) return;
            if (::GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("no temp dir");
        }
    }
    ~TempDir() {
        std::string from = path_ + '\0';
        SHFILEOPSTRUCTA op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        ::SHFileOperationA(&op);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

    std::string Write(const std::string& name, const std::string& content) const {
        std::ofstream out(*this / name, std::ios::binary | std::ios::trunc);
        out << content;
        return *this / name;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(*this / name, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool Exists(const std::string& name) const {
        return ::GetFileAttributesA((*this / name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

private:
    std::string path_;
};

}  // namespace pictavo::testing
