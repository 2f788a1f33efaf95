#pragma once
// Drives the real pictavo.exe the way a user or another program would: a fresh
// program folder, a start with arguments, its windows and message boxes, window
// messages (registered ones too), and the trace lines it sends.
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "inventory/TableFile.h"

namespace e2e {

using namespace std::chrono_literals;
using Duration = std::chrono::milliseconds;

// Generous: Wine starts a program in about two seconds, more on a loaded machine.
constexpr Duration kDeadline = 30s;

// Polls the condition until it holds or the deadline passes.
bool WaitFor(const std::function<bool()>& condition, Duration deadline = kDeadline);

// The pictavo.exe the build made (from the environment variable PICTAVO_EXE).
std::string BuiltProgram();

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
bool Exists(const std::string& path);

// A file's size and times, read without opening it: a test that keeps a file
// open, even to read it, keeps a program from swapping a new copy in for it.
// Empty for a file that is not there.
std::string FileStamp(const std::string& path);

// Starts a program in the job that ends it with the test program (see
// EndStrayPrograms); exe may be null to take it from the command line.
bool StartInJob(const char* exe, const std::string& commandLine, const char* folder,
                PROCESS_INFORMATION& info);
// Ends every program that tests start (pictavo.exe, setup, the tools) that is
// still running, whoever started it; what it ended, for the log. Runs before
// every case, so a test program that died takes no one else down with it.
std::vector<std::string> EndStrayPrograms();

// A folder of its own under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// A window of our own titled "Norvex Message Window" on a thread of its own,
// so that Pictavo's trace lines are received at once whatever the test does.
class TraceCollector {
public:
    struct Line {
        std::string text;
        HWND sender;
    };
    TraceCollector();
    ~TraceCollector();
    TraceCollector(const TraceCollector&) = delete;
    TraceCollector& operator=(const TraceCollector&) = delete;

    std::vector<Line> Lines() const;
    std::vector<std::string> Texts() const;
    bool Contains(const std::string& text) const;
    bool WaitForLine(const std::string& text, Duration deadline = kDeadline) const;
    void Clear();
    // The lines received so far, handed over and forgotten in one step, so
    // that a long run neither copies a growing list nor loses a line.
    std::vector<Line> TakeLines();
    HWND Handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    void Loop(HANDLE ready);
    mutable std::mutex mutex_;
    std::vector<Line> lines_;
    std::thread thread_;
    HWND hwnd_ = nullptr;
    DWORD threadId_ = 0;
};

// A message box (or any dialog) of the program: its caption, text and buttons.
struct MessageBoxWindow {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
    // Presses the button with this command identifier (IDOK, IDYES, IDNO, ...)
    // and waits until the box has gone, so that the next wait cannot find it
    // again. A box that stays is a test failure; returns whether it went.
    bool Press(int id) const;
};

// The next message box of the process that appears within the deadline.
std::optional<MessageBoxWindow> WaitForMessageBox(DWORD processId, Duration deadline = kDeadline);

// Saves a picture of the whole screen (Wine's virtual desktop) as a bitmap file
// in the build's artifacts folder; returns its path.
std::string SaveScreenshot(const std::string& name);

UINT Registered(const char* name);
// Sends a registered message to every top-level window, as another program would.
void Broadcast(const char* name);

// ASCII lower case, as the program compares paths.
std::string Lower(std::string text);
// Clicks a window's button by its caption, as a user would (posted, so a
// dialog the click opens does not block the test).
bool ClickButton(HWND window, const std::string& caption);

std::string Caption(HWND hwnd);
std::string ClassOf(HWND hwnd);
// Top-level windows of a process, visible or not.
std::vector<HWND> TopLevelWindows(DWORD processId);
// A child window by its exact text (a button by its caption).
HWND FindChildByText(HWND parent, const std::string& text);
// The first child (at any depth) of that window class; null when none.
HWND FindChildByClass(HWND parent, const std::string& className);

// A visible top-level window of the process whose class is className (any
// class when empty) and whose caption is caption, or begins with it when
// prefix is set; null when none showed before the deadline.
HWND WaitForWindow(DWORD processId, const std::string& className, const std::string& caption,
                   Duration deadline = kDeadline, bool prefix = false);

// The window a program registered with the shell for its tray icon: a hidden
// top-level window of the class "TTrayIcon"; null when the process has none.
HWND TrayIconWindow(DWORD processId);
// The shell's record of another program's icon: its window and identifier.
NOTIFYICONDATAA ShellRecord(HWND icon);
// A modify that changes nothing succeeds only while the shell holds the icon.
bool ShellHoldsIcon(HWND icon);
// Whether a popup menu is open. (Wine keeps menus per process: another
// program cannot read their items.)
bool MenuOpen();
// Chooses an item of the program's tray menu by its access key, as a user would.
void ChooseFromTrayMenu(HWND icon, char key);

// A program a test started (an installer, a tool). One still running when the
// test is over is killed, so a failed test leaves nothing running into the next.
class ChildProcess {
public:
    // folder: its working folder; empty for the test's own.
    explicit ChildProcess(const std::string& commandLine, const std::string& folder = "");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return process_.hProcess != nullptr; }
    bool Running() const { return Started() && !Ended(); }
    // Whether it has ended, waiting that long for it.
    bool Ended(Duration wait = Duration::zero()) const;
    DWORD ExitCode() const;  // ~0 for a process never started
    DWORD ProcessId() const { return process_.dwProcessId; }

private:
    PROCESS_INFORMATION process_{};
};

// A copy of pictavo.exe in a fresh program folder, started and watched.
class Program {
public:
    Program();
    ~Program();  // ends a program still running: shutdown message, then kill

    const std::string& Folder() const { return folder_.Path(); }
    std::string ExePath() const { return folder_ / "pictavo.exe"; }
    std::string IniPath() const { return folder_ / "pictavo.INI"; }
    std::string DataDir() const { return folder_ / "Images"; }
    std::string TablePath() const { return DataDir() + "\\GDB.CDS"; }
    // Where "Start with Windows" keeps its shortcut (for every user of the prefix).
    static std::string StartupShortcut();

    // Settings written before the start. A program folder with settings is not a first run.
    void SetIni(const char* section, const char* key, const std::string& value);
    std::string Ini(const char* section, const char* key) const;
    // Settings that keep a test quiet: no splash, no start-up slide, no start-up shortcut.
    void QuietSettings();
    // A slideshow that is on and goes through the list in order, a slide every
    // so many seconds (under a minute).
    void SlideshowInListOrder(int seconds);

    // Puts the built help file (pictavo.chm) beside the program, as installed.
    // Left out otherwise: a first run would open the help over the test.
    void CopyHelp();
    std::string HelpPath() const { return folder_ / "pictavo.chm"; }

    void Start(const std::string& arguments = "");
    // Starts the same program file named by another path to it (its short form, say).
    void StartAs(const std::string& exePath, const std::string& arguments = "");
    // Starts another copy of the same program file; returns its process handle.
    HANDLE StartAnother(const std::string& arguments = "") const;
    DWORD ProcessId() const { return processId_; }
    bool Running() const;
    bool WaitForExit(Duration deadline = kDeadline) const;
    void Kill();

    // The main window, once it exists.
    HWND MainWindow(Duration deadline = kDeadline) const;
    // Waits until the main window's thread has finished start-up and pumps its messages.
    bool WaitUntilIdle(Duration deadline = kDeadline) const;
    // The next message box of the program that appears within the deadline.
    std::optional<MessageBoxWindow> WaitForMessageBox(Duration deadline = kDeadline) const;
    // Whether the program has a message box, counted from its creation (it
    // shows only once its own message loop is idle). To prove that no box
    // came, ask after a later event the program has surely handled.
    bool MessageBoxOpen() const;
    // Ends the program as another program would: "ShutdownPictavo" to everyone.
    void Shutdown();

    // The picture list as saved now (not Ok() when there is none or it is damaged).
    pictavo::TableParseResult SavedList() const;
    // The saved list once it satisfies the condition, or nothing when it did
    // not before the deadline. Saves come 2.25 s after the last change. The
    // file is read only when its stamp changed, right after a save, never in
    // the middle of the next one.
    std::optional<pictavo::TableParseResult> WaitForSavedList(
        const std::function<bool(const pictavo::TableParseResult&)>& condition,
        Duration deadline = kDeadline) const;

private:
    TempFolder folder_;
    std::string previousWallpaper_;
    bool hadStartupShortcut_ = false;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

inline HWND TrayIconWindow(const Program& program) { return TrayIconWindow(program.ProcessId()); }
inline HWND WaitForWindow(const Program& program, const std::string& className,
                          const std::string& caption, Duration deadline = kDeadline) {
    return WaitForWindow(program.ProcessId(), className, caption, deadline);
}

}  // namespace e2e
