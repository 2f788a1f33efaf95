#pragma once
// Files over the ANSI Win32 API. The path text helpers come with them.
#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/Paths.h"

namespace pictavo {

// A file operation that failed, with the system's error code.
class FileError : public std::runtime_error {
public:
    FileError(const std::string& message, DWORD code) : std::runtime_error(message), code_(code) {}
    DWORD Code() const { return code_; }

private:
    DWORD code_;
};

std::string ExePath();  // full path of the running program

bool FileExists(const std::string& path);       // an existing file, not a folder

// The path with each short (8.3) name in it replaced by its long name. A file
// that is not there has its folder made long; the path as given when even
// that is not there.
std::string LongPathName(const std::string& path);
bool DirectoryExists(const std::string& path);

// The whole content of a file; throws FileError when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Writes the whole content to a temporary file beside the target, flushes it
// and swaps it in, so an interrupted save leaves the previous file whole.
// Throws FileError when the file cannot be written; the target is then untouched.
void WriteFileAtomically(const std::string& path, const std::string& content);

// Writes the whole content through an open file handle. Throws FileError,
// naming path, with the system's reason.
void WriteAll(HANDLE file, const std::string& content, const std::string& path);

// For tests: while one lives, WriteFileAtomically puts at most `room` more bytes on disk and
// then fails as on a full volume (ERROR_DISK_FULL).
class DiskFullAfterForTesting {
public:
    explicit DiskFullAfterForTesting(std::int64_t room);
    ~DiskFullAfterForTesting();
    DiskFullAfterForTesting(const DiskFullAfterForTesting&) = delete;
    DiskFullAfterForTesting& operator=(const DiskFullAfterForTesting&) = delete;
};

// For tests: while one lives, the swap that ends WriteFileAtomically fails once with `code`,
// as when another program holds the file, before the real swap is tried.
class SwapFailsOnceForTesting {
public:
    explicit SwapFailsOnceForTesting(DWORD code);
    ~SwapFailsOnceForTesting();
    SwapFailsOnceForTesting(const SwapFailsOnceForTesting&) = delete;
    SwapFailsOnceForTesting& operator=(const SwapFailsOnceForTesting&) = delete;
};

struct FileStamp {
    int64_t size = 0;
    int64_t localTime = 0;  // last write, local time, FILETIME units
};
// Size and last-write time, read through a handle that lets every other
// program keep the file open. Throws FileError.
FileStamp ReadFileStamp(const std::string& path);

// The first free name among path, path.1, path.2 ... made by appending to base.
std::string FirstFreeName(const std::string& base);

// System error text for a code, without the trailing line break.
std::string SystemErrorText(DWORD code);

}  // namespace pictavo
