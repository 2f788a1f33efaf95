#include "platform/Files.h"

#include <algorithm>

#include "platform/Handles.h"

namespace pictavo {
namespace {

[[noreturn]] void ThrowLastError(const std::string& what, const std::string& path) {
    DWORD code = ::GetLastError();
    throw FileError(what + " " + path + ": " + SystemErrorText(code), code);
}

// How long a save waits for a reader to let go of the file it replaces.
constexpr int kReplaceAttempts = 20;
constexpr DWORD kReplaceRetryPause = 100;

// Bytes a test leaves on the volume; negative: no limit.
std::int64_t testRoom = -1;
// The error a test has the next swap fail with; 0: none.
DWORD testSwapFailure = 0;

// WriteFile within the room a test left.
bool WriteSome(HANDLE file, const char* data, DWORD want, DWORD* put) {
    *put = 0;
    if (testRoom >= 0 && want > testRoom) {
        if (testRoom > 0 && !::WriteFile(file, data, static_cast<DWORD>(testRoom), put, nullptr))
            return false;
        testRoom -= *put;
        ::SetLastError(ERROR_DISK_FULL);
        return false;
    }
    if (!::WriteFile(file, data, want, put, nullptr)) return false;
    if (testRoom >= 0) testRoom -= *put;
    return true;
}

// Swaps the written file in for the target.
bool SwapIn(const std::string& temp, const std::string& path) {
    if (testSwapFailure) {
        ::SetLastError(testSwapFailure);
        testSwapFailure = 0;
        return false;
    }
    return ::MoveFileExA(temp.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace

DiskFullAfterForTesting::DiskFullAfterForTesting(std::int64_t room) { testRoom = room; }
DiskFullAfterForTesting::~DiskFullAfterForTesting() { testRoom = -1; }
SwapFailsOnceForTesting::SwapFailsOnceForTesting(DWORD code) { testSwapFailure = code; }
SwapFailsOnceForTesting::~SwapFailsOnceForTesting() { testSwapFailure = 0; }

std::string ExePath() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool FileExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string LongPathName(const std::string& path) {
    auto lengthen = [](const std::string& shortPath, std::string& longPath) {
        DWORD size = ::GetLongPathNameA(shortPath.c_str(), nullptr, 0);
        if (size == 0) return false;
        longPath.assign(size, '\0');
        size = ::GetLongPathNameA(shortPath.c_str(), longPath.data(), size);
        if (size == 0 || size >= longPath.size()) return false;
        longPath.resize(size);
        return true;
    };
    std::string result;
    if (lengthen(path, result)) return result;
    const std::string folder = ExtractFileDir(path);
    // A drive alone ("C:") would stand for its current folder.
    if (folder.empty() || folder.back() == ':' || !lengthen(folder, result)) return path;
    return JoinPath(result, ExtractFileName(path));
}

bool DirectoryExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadWholeFile(const std::string& path) {
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) ThrowLastError("Unable to open", path);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) ThrowLastError("Unable to read", path);
    if (size.QuadPart > 0x7FFFFFFF) throw FileError("File too large: " + path, ERROR_FILE_TOO_LARGE);
    std::string content(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < content.size()) {
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(std::min<size_t>(content.size() - done, 1u << 24));
        if (!::ReadFile(file.Get(), content.data() + done, want, &got, nullptr)) {
            ThrowLastError("Unable to read", path);
        }
        if (got == 0) break;  // the file shrank while we read it
        done += got;
    }
    content.resize(done);
    return content;
}

void WriteFileAtomically(const std::string& path, const std::string& content) {
    // Replacing a file by renaming over it ignores its read-only mark on some
    // systems (Wine among them); a read-only file is the user saying "keep it".
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        throw FileError("Unable to replace " + path + ": " + SystemErrorText(ERROR_ACCESS_DENIED),
                        ERROR_ACCESS_DENIED);
    }
    const std::string temp = path + ".~new";
    {
        UniqueHandle file(::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) ThrowLastError("Unable to write", temp);
        size_t done = 0;
        bool ok = true;
        while (ok && done < content.size()) {
            DWORD put = 0;
            DWORD want = static_cast<DWORD>(std::min<size_t>(content.size() - done, 1u << 24));
            ok = WriteSome(file.Get(), content.data() + done, want, &put);
            if (ok && put == 0) {
                ::SetLastError(ERROR_DISK_FULL);  // no progress: stop rather than spin
                ok = false;
            }
            done += put;
        }
        if (!ok || !::FlushFileBuffers(file.Get())) {
            DWORD code = ::GetLastError();
            file.Reset();
            ::DeleteFileA(temp.c_str());
            throw FileError("Unable to write " + temp + ": " + SystemErrorText(code), code);
        }
    }
    // A file another program has open, even only to read it (a viewer, a virus
    // scanner, a backup), cannot be replaced until it lets go: usually soon.
    for (int attempt = 1;; ++attempt) {
        if (SwapIn(temp, path)) return;
        const DWORD code = ::GetLastError();
        const bool held = code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ||
                          code == ERROR_LOCK_VIOLATION;
        if (!held || attempt == kReplaceAttempts) {
            ::DeleteFileA(temp.c_str());
            throw FileError("Unable to replace " + path + ": " + SystemErrorText(code), code);
        }
        ::Sleep(kReplaceRetryPause);
    }
}

void WriteAll(HANDLE file, const std::string& content, const std::string& path) {
    size_t done = 0;
    while (done < content.size()) {
        DWORD put = 0;
        const bool written =
            ::WriteFile(file, content.data() + done,
                        static_cast<DWORD>(std::min<size_t>(content.size() - done, 1u << 24)), &put,
                        nullptr) != FALSE;
        if (!written || put == 0) {
            // A write that the system takes without putting anything down is a full volume.
            const DWORD code = written ? ERROR_DISK_FULL : ::GetLastError();
            throw FileError("Unable to write " + path + ": " + SystemErrorText(code), code);
        }
        done += put;
    }
}

FileStamp ReadFileStamp(const std::string& path) {
    // The attributes call reads size and date together without opening the
    // file: under Wine it needs no round trip to the server, which matters
    // when thousands of pictures are added in one batch.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FILETIME local{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        !::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local)) {
        ThrowLastError("Unable to read the size and date of", path);
    }
    FileStamp stamp;
    stamp.size = (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.localTime = (static_cast<int64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
    return stamp;
}

std::string FirstFreeName(const std::string& base) {
    if (::GetFileAttributesA(base.c_str()) == INVALID_FILE_ATTRIBUTES) return base;
    for (int n = 1;; ++n) {
        std::string candidate = base + "." + std::to_string(n);
        if (::GetFileAttributesA(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) return candidate;
    }
}

std::string SystemErrorText(DWORD code) {
    char* buffer = nullptr;
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                   FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text = n ? std::string(buffer, n) : "error " + std::to_string(code);
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

}  // namespace pictavo
