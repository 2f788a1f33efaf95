#include "harness/Harness.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "platform/TraceRecord.h"
#include "shell/StartupShortcut.h"

namespace e2e {

bool WaitFor(const std::function<bool()>& condition, Duration deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return condition();
        std::this_thread::sleep_for(50ms);
    }
}

std::string BuiltProgram() {
    const char* exe = std::getenv("PICTAVO_EXE");
    if (!exe || !*exe) throw std::runtime_error("PICTAVO_EXE names no program");
    std::string path = exe;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return {};
    std::ostringstream stamp;
    stamp << data.nFileSizeHigh << ':' << data.nFileSizeLow << ':'
          << data.ftCreationTime.dwHighDateTime << ':' << data.ftCreationTime.dwLowDateTime << ':'
          << data.ftLastWriteTime.dwHighDateTime << ':' << data.ftLastWriteTime.dwLowDateTime;
    return stamp.str();
}

// ---------------------------------------------------------------------------
// What a test starts dies with the test program, and nothing one test program
// left running reaches the next.

namespace {

// Every program a test starts runs in this job. Its one handle is closed when
// this process ends in any way (a crash, CTest's kill at its time-out), and the
// job then ends everything in it, also what those programs started.
HANDLE TestJob() {
    static const HANDLE job = [] {
        HANDLE created = ::CreateJobObjectA(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!created || !::SetInformationJobObject(created, JobObjectExtendedLimitInformation,
                                                   &limits, sizeof(limits))) {
            std::fprintf(stderr, "No job object for the started programs (error %lu)\n",
                         ::GetLastError());
        }
        return created;
    }();
    return job;
}

// Programs a test may start, by file name in lower case: one of them still
// running when a case begins was left by a test program that died.
bool IsStartedByTests(const std::string& exeName) {
    for (const char* name : {"pictavo.exe", "pictavo-setup.exe", "uninstall.exe", "au_.exe",
                             "tracewin.exe", "record_command_line.exe", "slow_to_end.exe",
                             "stand_in_window.exe"}) {
        if (exeName == name) return true;
    }
    return false;
}

// A crash ends the test program at once with a line that names the case,
// rather than waiting in the system's debugger until CTest gives up on it.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* pointers) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::fprintf(stderr, "\nThe test program crashed in %s.%s: exception 0x%08lx at %p\n",
                 test ? test->test_suite_name() : "?", test ? test->name() : "?",
                 pointers->ExceptionRecord->ExceptionCode,
                 pointers->ExceptionRecord->ExceptionAddress);
    std::fflush(stdout);
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

// The program folders of test programs that are no longer running: a test
// program that crashed could not remove its own.
void RemoveFoldersOfEndedTestPrograms() {
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((std::string(base) + "pictavo-e2e-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> stale;
    do {
        const DWORD owner = std::strtoul(found.cFileName + std::strlen("pictavo-e2e-"), nullptr, 10);
        HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, owner);
        const bool running = process && ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        if (process) ::CloseHandle(process);
        if (!running) stale.push_back(std::string(base) + found.cFileName);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    for (const std::string& folder : stale) {
        std::string from = folder + '\0';
        SHFILEOPSTRUCTA op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        ::SHFileOperationA(&op);
    }
}

class StrayGuard : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        for (const std::string& ended : EndStrayPrograms()) {
            std::printf("Ended %s, left running by an earlier test program\n", ended.c_str());
        }
        RemoveFoldersOfEndedTestPrograms();
    }
};

const bool installed = [] {
    ::SetUnhandledExceptionFilter(&ReportCrash);
    ::testing::UnitTest::GetInstance()->listeners().Append(new StrayGuard);
    return true;
}();

}  // namespace

bool StartInJob(const char* exe, const std::string& commandLine, const char* folder,
                PROCESS_INFORMATION& info) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::string line = commandLine;
    // Suspended until it is in the job, so that nothing it starts escapes.
    if (!::CreateProcessA(exe, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          folder, &startup, &info)) {
        return false;
    }
    if (!TestJob() || !::AssignProcessToJobObject(TestJob(), info.hProcess)) {
        std::fprintf(stderr, "%s runs outside the test's job (error %lu)\n", commandLine.c_str(),
                     ::GetLastError());
    }
    ::ResumeThread(info.hThread);
    return true;
}

std::vector<std::string> EndStrayPrograms() {
    std::vector<std::string> ended;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ended;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot, &entry); more;
         more = ::Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == ::GetCurrentProcessId() || !IsStartedByTests(Lower(entry.szExeFile))) {
            continue;
        }
        HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (!process) continue;
        ::TerminateProcess(process, 1);
        ::WaitForSingleObject(process, 10000);
        ::CloseHandle(process);
        ended.push_back(std::string(entry.szExeFile) + " (process " +
                        std::to_string(entry.th32ProcessID) + ")");
    }
    ::CloseHandle(snapshot);
    return ended;
}

// ---------------------------------------------------------------------------

TempFolder::TempFolder() {
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        std::string candidate = std::string(base) + "pictavo-e2e-" +
                                std::to_string(::GetCurrentProcessId()) + "-" +
                                std::to_string(++counter);
        if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            throw std::runtime_error("cannot create " + candidate);
        }
    }
}

TempFolder::~TempFolder() {
    // Double-zero-terminated, as the shell wants it.
    std::string from = path_ + '\0';
    // A program that has just ended may still hold its file for a moment under
    // Wine, and then nothing at all is deleted: try again until the folder is gone.
    WaitFor([&] {
        SHFILEOPSTRUCTA op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        ::SHFileOperationA(&op);
        return !Exists(path_);
    });
}

// ---------------------------------------------------------------------------

TraceCollector::TraceCollector() {
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, ready] { Loop(ready); });
    ::WaitForSingleObject(ready, INFINITE);
    ::CloseHandle(ready);
}

TraceCollector::~TraceCollector() {
    ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    if (hwnd_) ::PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    thread_.join();
}

void TraceCollector::Loop(HANDLE ready) {
    threadId_ = ::GetCurrentThreadId();
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TraceCollector::Proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "PictavoTestTraceCollector";
    ::RegisterClassA(&wc);
    hwnd_ = ::CreateWindowExA(0, wc.lpszClassName, pictavo::kTraceWindowTitle, WS_OVERLAPPED, 0, 0,
                              100, 100, nullptr, nullptr, wc.hInstance, this);
    ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetEvent(ready);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    ::DestroyWindow(hwnd_);
}

LRESULT CALLBACK TraceCollector::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto* self = reinterpret_cast<TraceCollector*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
        if (self && data->dwData == pictavo::kTraceCopyDataId &&
            data->cbData == pictavo::kTraceRecordSize) {
            auto* record = static_cast<const uint8_t*>(data->lpData);
            std::lock_guard<std::mutex> lock(self->mutex_);
            self->lines_.push_back(
                {std::string(pictavo::TraceRecordText(record)), reinterpret_cast<HWND>(wParam)});
        }
        return TRUE;
    }
    if (message == WM_CLOSE) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

std::vector<TraceCollector::Line> TraceCollector::Lines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

std::vector<std::string> TraceCollector::Texts() const {
    std::vector<std::string> texts;
    for (const Line& line : Lines()) texts.push_back(line.text);
    return texts;
}

bool TraceCollector::Contains(const std::string& text) const {
    for (const Line& line : Lines()) {
        if (line.text == text) return true;
    }
    return false;
}

bool TraceCollector::WaitForLine(const std::string& text, Duration deadline) const {
    return WaitFor([&] { return Contains(text); }, deadline);
}

void TraceCollector::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
}

std::vector<TraceCollector::Line> TraceCollector::TakeLines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(lines_, {});
}

// ---------------------------------------------------------------------------

bool MessageBoxWindow::Press(int id) const {
    HWND button = ::GetDlgItem(hwnd, id);
    ::PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    // Hidden first, destroyed a moment later: either way no wait can see it again.
    const bool gone = WaitFor([&] { return !::IsWindow(hwnd) || !::IsWindowVisible(hwnd); });
    if (!gone) ADD_FAILURE() << "the message box \"" << text << "\" stayed after a press";
    return gone;
}

std::string SaveScreenshot(const std::string& name) {
    std::string program = BuiltProgram();
    std::string folder = program.substr(0, program.find_last_of('\\')) + "\\artifacts";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\" + name + ".bmp";

    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ::GdiFlush();
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + stride * height;
    std::string content(reinterpret_cast<const char*>(&file), sizeof(file));
    content.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    content.append(static_cast<const char*>(bits), stride * height);
    WriteFile(path, content);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return path;
}

UINT Registered(const char* name) { return ::RegisterWindowMessageA(name); }

void Broadcast(const char* name) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, Registered(name), 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool ClickButton(HWND window, const std::string& caption) {
    HWND button = FindChildByText(window, caption);
    if (!button) return false;
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
    return true;
}

std::string Caption(HWND hwnd) {
    char text[1024] = {};
    ::GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

std::string ClassOf(HWND hwnd) {
    char name[256] = {};
    ::GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

HWND WaitForWindow(DWORD processId, const std::string& className, const std::string& caption,
                   Duration deadline, bool prefix) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND hwnd : TopLevelWindows(processId)) {
                const std::string text = Caption(hwnd);
                if ((className.empty() || ClassOf(hwnd) == className) && ::IsWindowVisible(hwnd) &&
                    (prefix ? text.rfind(caption, 0) == 0 : text == caption)) {
                    found = hwnd;
                    return true;
                }
            }
            return false;
        },
        deadline);
    return found;
}

HWND TrayIconWindow(DWORD processId) {
    for (HWND top : TopLevelWindows(processId)) {
        if (ClassOf(top) == "TTrayIcon") return top;
    }
    return nullptr;
}

NOTIFYICONDATAA ShellRecord(HWND icon) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = icon;
    data.uID = 1;
    return data;
}

bool ShellHoldsIcon(HWND icon) {
    NOTIFYICONDATAA data = ShellRecord(icon);
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool MenuOpen() {
    HWND popup = ::FindWindowA("#32768", nullptr);
    return popup && ::IsWindowVisible(popup);
}

void ChooseFromTrayMenu(HWND icon, char key) {
    ::PostMessageA(icon, WM_USER + 1, 1, WM_RBUTTONUP);
    ASSERT_TRUE(WaitFor(MenuOpen));
    ::PostMessageA(icon, WM_CHAR, key, 0);
    ASSERT_TRUE(WaitFor([] { return !MenuOpen(); }));
}

std::vector<HWND> TopLevelWindows(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lParam) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hwnd, &owner);
            if (owner == s->processId) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindChildByClass(HWND parent, const std::string& className) {
    struct Search {
        const std::string& className;
        HWND found;
    } search{className, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lParam) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            if (ClassOf(hwnd) != s->className) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindChildByText(HWND parent, const std::string& text) {
    struct Search {
        const std::string& text;
        HWND found;
    } search{text, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lParam) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            if (Caption(hwnd) == s->text) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// ---------------------------------------------------------------------------

Program::Program() {
    // Every test starts from a desktop without wallpaper: the program shows
    // the current wallpaper's name, and an earlier test may have left one.
    char previous[MAX_PATH * 2] = {};
    ::SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof(previous), previous, 0);
    previousWallpaper_ = previous;
    hadStartupShortcut_ = Exists(StartupShortcut());
    char none[] = "";
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, none, SPIF_UPDATEINIFILE);
    const std::string source = BuiltProgram();
    if (!::CopyFileA(source.c_str(), ExePath().c_str(), FALSE)) {
        throw std::runtime_error("cannot copy " + source + " to " + ExePath());
    }
}

void Program::CopyHelp() {
    const std::string program = BuiltProgram();
    const std::string source = program.substr(0, program.find_last_of('\\')) + "\\pictavo.chm";
    if (!::CopyFileA(source.c_str(), HelpPath().c_str(), FALSE)) {
        throw std::runtime_error("cannot copy " + source + " to " + HelpPath());
    }
}

Program::~Program() {
    if (Running()) {
        Shutdown();
        // A message box left open by a failed test would hold the shutdown up.
        if (!WaitForExit(10s)) Kill();
    }
    if (process_) ::CloseHandle(process_);
    // A program started without settings starts with Windows: its shortcut goes with it.
    if (!hadStartupShortcut_ && !StartupShortcut().empty()) {
        ::DeleteFileA(StartupShortcut().c_str());
    }
    // The program keeps its last wallpaper at exit; the prefix gets its own back.
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, previousWallpaper_.data(), SPIF_UPDATEINIFILE);
}

std::string Program::StartupShortcut() {
    const std::string folder = pictavo::CommonStartupFolder();
    return folder.empty() ? folder : folder + "\\" + pictavo::kStartupShortcutName;
}

void Program::SetIni(const char* section, const char* key, const std::string& value) {
    ::WritePrivateProfileStringA(section, key, value.c_str(), IniPath().c_str());
}

std::string Program::Ini(const char* section, const char* key) const {
    char value[1024] = {};
    ::GetPrivateProfileStringA(section, key, "<missing>", value, sizeof(value), IniPath().c_str());
    return value;
}

void Program::QuietSettings() {
    SetIni("General", "Verbose", "0");
    SetIni("Slideshow", "ChangeOnStartup", "0");
    // No shortcut to a test's temporary program in the prefix's start-up folder.
    SetIni("General", "StartWithWindows", "0");
}

void Program::SlideshowInListOrder(int seconds) {
    SetIni("Slideshow", "AutoChange", "1");
    SetIni("Slideshow", "Random", "0");
    SetIni("Slideshow", "SlideHrs", "0");
    SetIni("Slideshow", "SlideMins", "0");
    SetIni("Slideshow", "SlideSecs", std::to_string(seconds));
}

static HANDLE StartProcess(const std::string& exe, const std::string& folder,
                           const std::string& arguments, DWORD* processId) {
    std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    PROCESS_INFORMATION info{};
    if (!StartInJob(exe.c_str(), commandLine, folder.c_str(), info)) {
        throw std::runtime_error("cannot start " + exe);
    }
    ::CloseHandle(info.hThread);
    if (processId) *processId = info.dwProcessId;
    return info.hProcess;
}

void Program::Start(const std::string& arguments) {
    process_ = StartProcess(ExePath(), Folder(), arguments, &processId_);
}

void Program::StartAs(const std::string& exePath, const std::string& arguments) {
    process_ = StartProcess(exePath, Folder(), arguments, &processId_);
}

HANDLE Program::StartAnother(const std::string& arguments) const {
    return StartProcess(ExePath(), Folder(), arguments, nullptr);
}

bool Program::Running() const {
    return process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(Duration deadline) const {
    return !process_ ||
           ::WaitForSingleObject(process_, static_cast<DWORD>(deadline.count())) == WAIT_OBJECT_0;
}

void Program::Kill() {
    if (Running()) {
        ::TerminateProcess(process_, 1);
        ::WaitForSingleObject(process_, 10000);
    }
}

HWND Program::MainWindow(Duration deadline) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND hwnd : TopLevelWindows(processId_)) {
                if (ClassOf(hwnd) == "TFrmMain") {
                    found = hwnd;
                    return true;
                }
            }
            return false;
        },
        deadline);
    return found;
}

bool Program::WaitUntilIdle(Duration deadline) const {
    HWND main = MainWindow(deadline);
    if (!main) return false;
    // A sent message alone is not enough: the program answers sent messages
    // also while it waits inside its own calls to other programs (the shell's
    // tray), in the middle of start-up. Input-idle comes only from a message
    // loop: the main one, or a message box's.
    ::WaitForInputIdle(process_, static_cast<DWORD>(deadline.count()));
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL,
                                 static_cast<DWORD>(deadline.count()), &result) != 0;
}

ChildProcess::ChildProcess(const std::string& commandLine, const std::string& folder) {
    if (!StartInJob(nullptr, commandLine, folder.empty() ? nullptr : folder.c_str(), process_)) {
        process_ = {};
    }
}

ChildProcess::~ChildProcess() {
    if (!Started()) return;
    if (!Ended()) {
        ::TerminateProcess(process_.hProcess, 1);
        // Its files are free before the test removes their folder.
        ::WaitForSingleObject(process_.hProcess, 10000);
    }
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
}

bool ChildProcess::Ended(Duration wait) const {
    return Started() && ::WaitForSingleObject(process_.hProcess,
                                              static_cast<DWORD>(wait.count())) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = ~0u;
    if (Started()) ::GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

std::optional<MessageBoxWindow> WaitForMessageBox(DWORD processId, Duration deadline) {
    MessageBoxWindow box;
    // A box counts once it shows and its text is in place (it is filled while being created).
    bool found = WaitFor(
        [&] {
            for (HWND hwnd : TopLevelWindows(processId)) {
                if (ClassOf(hwnd) != "#32770" || !::IsWindowVisible(hwnd)) continue;
                // The message text is the static control 0xFFFF of a message box.
                char text[4096] = {};
                ::GetDlgItemTextA(hwnd, 0xFFFF, text, sizeof(text));
                if (!*text) continue;
                box.hwnd = hwnd;
                box.text = text;
                return true;
            }
            return false;
        },
        deadline);
    if (!found) return std::nullopt;
    box.caption = Caption(box.hwnd);
    return box;
}

bool Program::MessageBoxOpen() const {
    for (HWND hwnd : TopLevelWindows(processId_)) {
        // A message box carries its text in the static control 0xFFFF.
        if (ClassOf(hwnd) == "#32770" && ::GetDlgItem(hwnd, 0xFFFF)) return true;
    }
    return false;
}

std::optional<MessageBoxWindow> Program::WaitForMessageBox(Duration deadline) const {
    return e2e::WaitForMessageBox(processId_, deadline);
}

void Program::Shutdown() { Broadcast("ShutdownPictavo"); }

pictavo::TableParseResult Program::SavedList() const {
    if (!Exists(TablePath())) return {{}, "no file " + TablePath()};
    return pictavo::ParseTable(ReadFile(TablePath()));
}

std::optional<pictavo::TableParseResult> Program::WaitForSavedList(
    const std::function<bool(const pictavo::TableParseResult&)>& condition,
    Duration deadline) const {
    std::optional<std::string> seen;
    pictavo::TableParseResult saved;
    const bool held = WaitFor(
        [&] {
            const std::string stamp = FileStamp(TablePath());
            if (seen == stamp) return false;
            seen = stamp;
            saved = SavedList();
            return saved.Ok() && condition(saved);
        },
        deadline);
    if (!held) return std::nullopt;
    return saved;
}

}  // namespace e2e
