// A stand-in for another program (a picture editor, a web browser): it writes
// how it was started into a file beside itself, named after itself with
// ".txt": a line "cmd" with the whole command line, "cwd" with the folder it
// started in, and one "arg" line for each argument as the C runtime splits them.
#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char self[MAX_PATH] = {}, folder[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    ::GetCurrentDirectoryA(MAX_PATH, folder);
    std::string text = std::string("cmd ") + ::GetCommandLineA() + "\n";
    text += std::string("cwd ") + folder + "\n";
    for (int i = 1; i < __argc; ++i) text += std::string("arg ") + __argv[i] + "\n";

    // Written aside and renamed, so that whoever waits for the file reads it whole.
    const std::string record = std::string(self) + ".txt";
    const std::string part = record + ".part";
    HANDLE file = ::CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
    if (!ok || !::MoveFileExA(part.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING)) return 1;
    return 0;
}
