// Soak: the real pictavo.exe over a list of pictures for many wallpaper
// changes, half by the slideshow's timer at its shortest interval and half by
// "Change Wallpaper &Now" from the tray, with the "&Preview" page open for part
// of the run. Every few hundred changes it samples what the process holds:
// private memory, kernel handles, GDI and USER objects. At the end it checks
// that the list on disk is the one it seeded and that no box was shown.
//
//   soak_bench [--changes N] [--pictures N] [--sample N] [--formats bmp[,jpg,png,gif,tif]]
//              [--preview FROM-TO[,FROM-TO...]]   (percent of the run, default 1-3,40-60)
// The first stretch of the page falls within the first 500 changes, so that
// what its first showing creates once is not counted as growth.
#include <windows.h>
// commctrl.h, psapi.h and winternl.h need the types of windows.h.
#include <commctrl.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "harness/Harness.h"
#include "inventory/InventoryTable.h"
#include "inventory/TableFile.h"
#include "support/BitmapFile.h"
#include "support/PictureFiles.h"

using namespace e2e;

namespace {

// ---------------------------------------------------------------------------
// The pictures: a table of kinds, each with its file format, size and tile
// mode, and its share of the list. A new format is a writer and a row.

using PictureWriter = std::function<std::string(int width, int height, std::uint32_t colour)>;

// A diagonal band, so that tiling and centring show on the desktop.
std::uint32_t Band(std::uint32_t colour, int x, int y) {
    return ((x + y) / 16) % 4 == 0 ? 0xFFFFFFu - colour : colour;
}

std::string WriteBmp(int width, int height, std::uint32_t colour) {
    return pictavo::testing::Bitmap24(width, height,
                                      [colour](int x, int y) { return Band(colour, x, y); });
}

// Made by the Windows Imaging Component's own encoders.
PictureWriter Encoded(pictavo::testing::PictureFormat format) {
    return [format](int width, int height, std::uint32_t colour) {
        return pictavo::testing::EncodePicture(
            format, width, height, [colour](int x, int y) { return Band(colour, x, y); });
    };
}

struct PictureFormat {
    const char* extension;
    PictureWriter write;
};

const std::vector<PictureFormat>& Formats() {
    static const std::vector<PictureFormat> formats = {
        {"bmp", WriteBmp},
        {"jpg", Encoded(pictavo::testing::PictureFormat::Jpeg)},
        {"png", Encoded(pictavo::testing::PictureFormat::Png)},
        {"gif", Encoded(pictavo::testing::PictureFormat::Gif)},
        {"tif", Encoded(pictavo::testing::PictureFormat::Tiff)},
    };
    return formats;
}

struct PictureKind {
    const char* what;
    int width, height;
    bool tile;
    int perThousand;  // share of the list
};

// The virtual desktop is 1024 by 768: the last kind is larger than the screen.
const PictureKind kKinds[] = {
    {"small, tiled", 64, 64, true, 400},
    {"quarter screen, centred", 320, 240, false, 300},
    {"most of the screen, centred", 800, 600, false, 200},
    {"larger than the screen, centred", 1280, 960, false, 100},
};

struct Seeded {
    std::string tableBytes;
    std::vector<pictavo::InventoryRecord> records;
};

// Writes the pictures into <program>\Pics and the list that names them,
// through the program's own table code. Each format takes its turn within
// each kind. One file's content serves every picture of a kind and format:
// their names make them pictures of their own.
Seeded SeedPictures(const Program& program, int count, const std::vector<std::string>& formats) {
    const std::string folder = program.Folder() + "\\Pics";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ::CreateDirectoryA(program.DataDir().c_str(), nullptr);
    pictavo::InventoryTable table;
    int made = 0;
    for (size_t k = 0; k < std::size(kKinds); ++k) {
        const PictureKind& kind = kKinds[k];
        const int share = k + 1 == std::size(kKinds) ? count - made : count * kind.perThousand / 1000;
        std::vector<std::string> contents;
        for (const std::string& extension : formats) {
            for (const PictureFormat& format : Formats()) {
                if (extension == format.extension) {
                    contents.push_back(format.write(kind.width, kind.height,
                                                    0x204080u + static_cast<std::uint32_t>(k) * 0x302010u));
                }
            }
        }
        for (int i = 0; i < share; ++i, ++made) {
            const size_t f = static_cast<size_t>(i) % formats.size();
            char name[64];
            std::snprintf(name, sizeof(name), "p%04d-%dx%d.%s", made, kind.width, kind.height,
                          formats[f].c_str());
            WriteFile(folder + "\\" + name, contents[f]);
            pictavo::InventoryRecord record;
            record.Enabled = true;
            record.Tile = kind.tile;
            record.FileName = name;
            record.Location = folder;
            record.Size = static_cast<decltype(record.Size)>(contents[f].size());
            table.Append(record);
        }
    }
    Seeded seeded;
    seeded.tableBytes = pictavo::SerializeTable(table);
    WriteFile(program.TablePath(), seeded.tableBytes);
    seeded.records = pictavo::ParseTable(seeded.tableBytes).Records;
    return seeded;
}

// ---------------------------------------------------------------------------
// What the process holds.

struct Sample {
    int changes = 0;
    double seconds = 0;
    SIZE_T privateBytes = 0;  // PrivateUsage
    DWORD handles = 0;        // GetProcessHandleCount
    SIZE_T committedPrivate = 0;  // committed private pages, walked from outside
    long systemHandles = -1;      // the process's entries in the system's handle list
    long rssAnonKB = -1;          // the Linux process's anonymous resident memory (Wine)
    DWORD guiGdi = 0, guiUser = 0;
    DWORD guiError = 0;
    long gdiTable = -1;  // live entries of the process's GDI handle table
    int windows = 0;
};

// Wine keeps each process's GDI objects in a handle table of the process's own,
// named by its PEB as on Windows; an entry whose type is not zero is in use.
// Read from outside, it counts GDI objects where GetGuiResources is a stub.
// Same-bitness processes only (the benchmark and the program are built alike).
long CountGdiTable(HANDLE process) {
    using Query = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    static const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    if (!query) return -1;
    PROCESS_BASIC_INFORMATION basic{};
    if (query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0) return -1;
    // PEB.GdiSharedHandleTable.
    const size_t offset = sizeof(void*) == 8 ? 0xF8 : 0x94;
    void* table = nullptr;
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + offset,
                             &table, sizeof(table), &read) ||
        !table) {
        return -1;
    }
#pragma pack(push, 1)
    struct Entry {
        std::uint64_t object;
        std::uint32_t owner;
        std::uint16_t unique;
        std::uint8_t type;
        std::uint8_t flags;
        std::uint64_t user;
    };
#pragma pack(pop)
    static_assert(sizeof(Entry) == 24);
    constexpr size_t kEntries = 0x10000, kChunk = 4096;
    std::vector<Entry> entries(kChunk);
    long live = 0;
    for (size_t first = 0; first < kEntries; first += kChunk) {
        if (!::ReadProcessMemory(process, static_cast<const Entry*>(table) + first, entries.data(),
                                 kChunk * sizeof(Entry), &read)) {
            break;  // the end of what the table has committed
        }
        for (const Entry& entry : entries) live += entry.type != 0;
    }
    return live;
}

// Committed private memory, region by region: what PrivateUsage counts, for
// where GetProcessMemoryInfo answers nothing about another process.
SIZE_T CommittedPrivate(HANDLE process) {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr;
         ::VirtualQueryEx(process, at, &region, sizeof(region)) == sizeof(region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        if (region.RegionSize == 0) break;
    }
    return total;
}

// The process's open kernel handles, from the system's list of every handle,
// for where GetProcessHandleCount answers nothing about another process.
long CountSystemHandles(DWORD processId) {
    using Query = LONG(WINAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    static const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        const LONG status = query(SystemHandleInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &needed);
        if (status == static_cast<LONG>(0xC0000004)) {  // STATUS_INFO_LENGTH_MISMATCH
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status != 0) return -1;
        break;
    }
    const auto* list = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    long count = 0;
    for (ULONG i = 0; i < list->Count; ++i) count += list->Handle[i].OwnerPid == processId;
    return count;
}

// Under Wine, the program is also a Linux process, whose command line names
// the program's file: found by its folder, and by the Wine prefix in its
// environment, as other prefixes on the machine make folders of the same names.
std::string LinuxStatusPath(const std::string& folder) {
    const std::string leaf = Lower(folder.substr(folder.find_last_of('\\') + 1));
    char prefix[MAX_PATH] = {};
    ::GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH);
    const std::string ownPrefix = std::string("WINEPREFIX=") + prefix + '\0';
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::string path;
    do {
        if (found.cFileName[0] < '0' || found.cFileName[0] > '9') continue;
        const std::string base = std::string("Z:\\proc\\") + found.cFileName;
        std::string commandLine = Lower(ReadFile(base + "\\cmdline"));
        if (commandLine.find(leaf) != std::string::npos &&
            commandLine.find("pictavo.exe") != std::string::npos &&
            (!*prefix || ReadFile(base + "\\environ").find(ownPrefix) != std::string::npos)) {
            path = base + "\\status";
            break;
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return path;
}

long StatusField(const std::string& statusPath, const char* field) {
    if (statusPath.empty()) return -1;
    const std::string status = ReadFile(statusPath);
    const size_t at = status.find(std::string(field) + ":");
    if (at == std::string::npos) return -1;
    return std::strtol(status.c_str() + at + std::strlen(field) + 1, nullptr, 10);
}

int CountWindows(DWORD processId) {
    int count = 0;
    for (HWND top : TopLevelWindows(processId)) {
        ++count;
        ::EnumChildWindows(
            top, [](HWND, LPARAM counter) WINAPI -> BOOL {
                ++*reinterpret_cast<int*>(counter);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

Sample TakeSample(HANDLE process, DWORD processId, const std::string& statusPath, int changes,
                  double seconds) {
    Sample s;
    s.changes = changes;
    s.seconds = seconds;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof(memory))) {
        s.privateBytes = memory.PrivateUsage;
    } else {
        std::printf("GetProcessMemoryInfo failed: error %lu\n", ::GetLastError());
    }
    if (!::GetProcessHandleCount(process, &s.handles)) {
        std::printf("GetProcessHandleCount failed: error %lu\n", ::GetLastError());
    }
    ::SetLastError(0);
    s.guiGdi = ::GetGuiResources(process, GR_GDIOBJECTS);
    s.guiUser = ::GetGuiResources(process, GR_USEROBJECTS);
    s.guiError = s.guiGdi == 0 && s.guiUser == 0 ? ::GetLastError() : 0;
    s.committedPrivate = CommittedPrivate(process);
    s.systemHandles = CountSystemHandles(processId);
    s.rssAnonKB = StatusField(statusPath, "RssAnon");
    s.gdiTable = CountGdiTable(process);
    s.windows = CountWindows(processId);
    return s;
}

// The counters read from outside, proven on this process first: objects made
// and freed here must show in them, or a flat table would prove nothing.
void CheckCounters() {
    HANDLE self = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                                ::GetCurrentProcessId());
    const DWORD id = ::GetCurrentProcessId();
    const long gdiBefore = CountGdiTable(self), handlesBefore = CountSystemHandles(id);
    const SIZE_T commitBefore = CommittedPrivate(self);
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 100; ++i) brushes.push_back(::CreateSolidBrush(RGB(i, 0, 0)));
    std::vector<HANDLE> events;
    for (int i = 0; i < 10; ++i) events.push_back(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    constexpr SIZE_T kBlock = 8 << 20;
    void* block = ::VirtualAlloc(nullptr, kBlock, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const long gdiWith = CountGdiTable(self), handlesWith = CountSystemHandles(id);
    const SIZE_T commitWith = CommittedPrivate(self);
    for (HBRUSH brush : brushes) ::DeleteObject(brush);
    for (HANDLE event : events) ::CloseHandle(event);
    ::VirtualFree(block, 0, MEM_RELEASE);
    std::printf("Counters checked on this process: 100 brushes made %+ld in the GDI table, "
                "10 events %+ld system handles, 8192 KB committed %+lld KB; freed again: %+ld, %+ld, %+lld KB\n",
                gdiWith - gdiBefore, handlesWith - handlesBefore,
                static_cast<long long>(commitWith / 1024) - static_cast<long long>(commitBefore / 1024),
                CountGdiTable(self) - gdiBefore, CountSystemHandles(id) - handlesBefore,
                static_cast<long long>(CommittedPrivate(self) / 1024) -
                    static_cast<long long>(commitBefore / 1024));
    ::CloseHandle(self);
}

void PrintHeader() {
    std::printf("%8s %8s %10s %10s %10s %8s %8s %8s %8s %8s %8s\n", "changes", "seconds",
                "PrivUse KB", "commit KB", "RssAnon KB", "handles", "hnd(sys)", "GDI(GR)",
                "USER(GR)", "GDI(tbl)", "windows");
}

void PrintSample(const Sample& s) {
    std::printf("%8d %8.0f %10llu %10llu %10ld %8lu %8ld %8lu %8lu %8ld %8d\n", s.changes,
                s.seconds, static_cast<unsigned long long>(s.privateBytes / 1024),
                static_cast<unsigned long long>(s.committedPrivate / 1024), s.rssAnonKB, s.handles,
                s.systemHandles, s.guiGdi, s.guiUser, s.gdiTable, s.windows);
    std::fflush(stdout);
}

// Growth from the sample at `from` changes to the last: more than 1 % and more
// than a handful of objects (or 64 KB of memory) is reported.
void PrintGrowth(const std::vector<Sample>& samples, int from) {
    auto base = std::find_if(samples.begin(), samples.end(),
                             [from](const Sample& s) { return s.changes >= from; });
    if (base == samples.end() || base == samples.end() - 1) return;
    const Sample& last = samples.back();
    struct Figure {
        const char* name;
        double first, last, handful;
    };
    const Figure figures[] = {
        {"PrivUse KB", base->privateBytes / 1024.0, last.privateBytes / 1024.0, 64},
        {"commit KB", base->committedPrivate / 1024.0, last.committedPrivate / 1024.0, 64},
        {"RssAnon KB", double(base->rssAnonKB), double(last.rssAnonKB), 64},
        {"handles", double(base->handles), double(last.handles), 5},
        {"hnd(sys)", double(base->systemHandles), double(last.systemHandles), 5},
        {"GDI(GR)", double(base->guiGdi), double(last.guiGdi), 5},
        {"USER(GR)", double(base->guiUser), double(last.guiUser), 5},
        {"GDI(tbl)", double(base->gdiTable), double(last.gdiTable), 5},
        {"windows", double(base->windows), double(last.windows), 5},
    };
    std::printf("\nFrom %d to %d changes:\n", base->changes, last.changes);
    for (const Figure& f : figures) {
        const double growth = f.last - f.first;
        const bool flat = growth <= f.handful || growth <= f.first * 0.01;
        std::printf("  %-11s %12.0f -> %12.0f  (%+.0f, %+.2f %%)  %s\n", f.name, f.first, f.last,
                    growth, f.first > 0 ? 100.0 * growth / f.first : 0.0, flat ? "flat" : "GREW");
    }
}

// ---------------------------------------------------------------------------
// Driving the program.

struct Options {
    int changes = 10000;
    int pictures = 1000;
    int sampleEvery = 500;
    std::vector<std::pair<int, int>> preview{{1, 3}, {40, 60}};  // percent of the run
    std::vector<std::string> formats{"bmp"};
};

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--changes" && value) {
            o.changes = std::atoi(argv[++i]);
        } else if (arg == "--pictures" && value) {
            o.pictures = std::atoi(argv[++i]);
        } else if (arg == "--sample" && value) {
            o.sampleEvery = std::atoi(argv[++i]);
        } else if (arg == "--preview" && value) {
            o.preview.clear();
            for (const char* at = argv[++i]; *at;) {
                int from = 0, to = 0, used = 0;
                if (std::sscanf(at, "%d-%d%n", &from, &to, &used) != 2 || from >= to) {
                    throw std::runtime_error("--preview wants FROM-TO[,FROM-TO...]");
                }
                o.preview.emplace_back(from, to);
                at += used;
                if (*at == ',') ++at;
            }
        } else if (arg == "--formats" && value) {
            o.formats.clear();
            std::string list = argv[++i];
            for (size_t start = 0; start <= list.size();) {
                const size_t comma = std::min(list.find(',', start), list.size());
                o.formats.push_back(list.substr(start, comma - start));
                start = comma + 1;
            }
        } else {
            throw std::runtime_error("unknown option " + arg);
        }
    }
    for (const std::string& f : o.formats) {
        if (std::none_of(Formats().begin(), Formats().end(),
                         [&](const PictureFormat& p) { return f == p.extension; })) {
            throw std::runtime_error("no writer for pictures of format " + f);
        }
    }
    if (o.changes < 2 || o.pictures < 2 || o.sampleEvery < 1) throw std::runtime_error("bad numbers");
    return o;
}

// The program beside this benchmark's folder, unless PICTAVO_EXE names one.
void FindProgram() {
    if (const char* set = std::getenv("PICTAVO_EXE"); set && *set) return;
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    path = path.substr(0, path.find_last_of('\\'));  // bench
    path = path.substr(0, path.find_last_of('\\'));  // the build
    ::SetEnvironmentVariableA("PICTAVO_EXE", (path + "\\pictavo.exe").c_str());
    _putenv_s("PICTAVO_EXE", (path + "\\pictavo.exe").c_str());
}

class Failure : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

const std::string kSelected = "FrmMain.GetNextSlideInfo: Selected ";
// A selected picture that could not be put on the desktop: no change.
const std::string kPassedOver = "Slideshow: passed over ";
const std::string kUnableToSet = "Unable to set ";

class Soak {
public:
    Soak(const Options& options, Program& program, TraceCollector& trace)
        : o_(options), program_(program), trace_(trace) {}

    void Run();

private:
    // Takes the trace lines that came, counts the changes, and fails on a box.
    void Watch() {
        for (TraceCollector::Line& line : trace_.TakeLines()) {
            if (line.text.rfind(kSelected, 0) == 0) {
                ++changes_;
                // "Selected <record> <path>"
                const std::string rest = line.text.substr(kSelected.size());
                lastPath_ = rest.substr(rest.find(' ') + 1);
            } else if (line.text.rfind(kPassedOver, 0) == 0) {
                --changes_;
                ++passedOver_;
            } else if (line.text.rfind(kUnableToSet, 0) == 0 && reasons_.size() < 10) {
                reasons_.push_back(line.text);
            }
        }
        for (HWND hwnd : TopLevelWindows(program_.ProcessId())) {
            if (ClassOf(hwnd) == "#32770" && ::IsWindowVisible(hwnd)) {
                char text[4096] = {};
                ::GetDlgItemTextA(hwnd, 0xFFFF, text, sizeof(text));
                SaveScreenshot("soak-box");
                throw Failure("a box was shown after " + std::to_string(changes_) + " changes: \"" +
                              Caption(hwnd) + "\" " + text);
            }
        }
        if (!program_.Running()) throw Failure("the program ended after " + std::to_string(changes_) + " changes");
    }

    bool Until(const std::function<bool()>& condition, Duration deadline = kDeadline) {
        return WaitFor(
            [&] {
                Watch();
                return condition();
            },
            deadline);
    }

    // The last selected picture has reached the desktop: the caption names it.
    bool Applied() {
        const std::string name = lastPath_.substr(lastPath_.find_last_of('\\') + 1);
        return Caption(main_) == name + " - Pictavo";
    }

    void Need(bool held, const std::string& what) {
        if (!held) throw Failure(what + " (after " + std::to_string(changes_) + " changes)");
    }

    void ChooseFromTrayMenu(char key) {
        ::PostMessageA(icon_, WM_USER + 1, 1, WM_RBUTTONUP);
        Need(Until(MenuOpen), "the tray menu did not open");
        ::PostMessageA(icon_, WM_CHAR, key, 0);
        Need(Until([] { return !MenuOpen(); }), "the tray menu did not close");
    }

    void ChangeFromTray() {
        const int before = changes_;
        // Both ways the tray has: the menu's item, and a double-click on the
        // icon, which runs the menu's default item without opening the menu.
        if (trayChanges_ % 2 == 0) {
            ChooseFromTrayMenu('n');
        } else {
            ::PostMessageA(icon_, WM_USER + 1, 1, WM_LBUTTONDBLCLK);
        }
        if (!Until([&] { return changes_ > before; }, 10s)) {
            ++trayDropped_;  // came while a change was under way, or nothing could be shown
            return;
        }
        // One change is the command's; any other came on the timer meanwhile.
        ++trayChanges_;
        Need(Until([&] { return Applied(); }), "the caption did not name " + lastPath_);
    }

    void ChangeByTimer() {
        const int before = changes_;
        Need(Until([&] { return changes_ > before; }), "no slide came on the timer");
        Need(Until([&] { return Applied(); }), "the caption did not name " + lastPath_);
    }

    void ShowPreviewPage() {
        ChooseFromTrayMenu('r');  // "Pictavo P&roperties"
        Need(Until([&] { return ::IsWindowVisible(main_) != FALSE; }), "the main window did not show");
        HWND pages = ::FindWindowExA(main_, nullptr, "SysTabControl32", nullptr);
        Need(pages != nullptr, "the main window has no pages");
        if (::SendMessageA(pages, TCM_GETCURSEL, 0, 0) != 0) {
            ::SendMessageA(pages, TCM_SETCURFOCUS, 0, 0);
        }
        Need(Until([&] { return ::SendMessageA(pages, TCM_GETCURSEL, 0, 0) == 0; }),
             "the \"&Preview\" page did not come up");
        previewShown_.push_back(changes_);
    }

    void HidePreviewPage() {
        Need(ClickButton(main_, "&OK"), "the main window has no \"&OK\"");
        Need(Until([&] { return !::IsWindowVisible(main_); }), "the main window stayed");
        previewHidden_.push_back(changes_);
    }

    void SampleIfDue(const std::chrono::steady_clock::time_point& start) {
        if (changes_ < nextSample_) return;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        samples_.push_back(TakeSample(process_, program_.ProcessId(), statusPath_, changes_, seconds));
        PrintSample(samples_.back());
        while (nextSample_ <= changes_) nextSample_ += o_.sampleEvery;
    }

    const Options& o_;
    Program& program_;
    TraceCollector& trace_;
    HANDLE process_ = nullptr;
    HWND main_ = nullptr, icon_ = nullptr;
    int changes_ = 0, trayChanges_ = 0, trayDropped_ = 0, passedOver_ = 0;
    std::vector<std::string> reasons_;  // the first few pictures passed over, and why
    int nextSample_ = 0;
    std::vector<int> previewShown_, previewHidden_;
    std::string lastPath_;
    std::string statusPath_;
    std::vector<Sample> samples_;

public:
    const std::vector<Sample>& Samples() const { return samples_; }
};

void Soak::Run() {
    process_ = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program_.ProcessId());
    Need(process_ != nullptr, "the program's process cannot be opened");
    Need(program_.WaitUntilIdle(), "the program did not start");
    main_ = program_.MainWindow();
    icon_ = TrayIconWindow(program_);
    Need(icon_ != nullptr, "the program has no tray icon");
    statusPath_ = LinuxStatusPath(program_.Folder());
    if (statusPath_.empty()) std::printf("The program's Linux process was not found: no RssAnon\n");

    const auto start = std::chrono::steady_clock::now();
    PrintHeader();
    nextSample_ = 0;
    SampleIfDue(start);
    nextSample_ = o_.sampleEvery;
    while (changes_ < o_.changes) {
        ChangeByTimer();
        SampleIfDue(start);
        if (changes_ >= o_.changes) break;
        ChangeFromTray();
        SampleIfDue(start);
        const size_t stretch = previewHidden_.size();
        if (stretch < o_.preview.size()) {
            const bool shown = previewShown_.size() > stretch;
            if (!shown && changes_ >= o_.changes * o_.preview[stretch].first / 100) ShowPreviewPage();
            if (shown && changes_ >= o_.changes * o_.preview[stretch].second / 100) HidePreviewPage();
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (samples_.back().changes != changes_) {
        samples_.push_back(TakeSample(process_, program_.ProcessId(), statusPath_, changes_, seconds));
        PrintSample(samples_.back());
    }
    if (samples_.front().guiError) {
        std::printf("\nGetGuiResources answered 0 for both counts, error %lu%s\n",
                    samples_.front().guiError,
                    samples_.front().guiError == ERROR_CALL_NOT_IMPLEMENTED ? " (not implemented)" : "");
    }
    std::printf("\n%d changes in %.0f s (%.2f s each): %d by the timer, %d from the tray "
                "(%d tray commands changed nothing)\n",
                changes_, seconds, seconds / changes_, changes_ - trayChanges_, trayChanges_,
                trayDropped_);
    if (passedOver_) {
        std::printf("%d pictures passed over, not put on the desktop; the first:\n", passedOver_);
        for (const std::string& reason : reasons_) std::printf("  %s\n", reason.c_str());
    }
    for (size_t i = 0; i < previewShown_.size(); ++i) {
        std::printf("\"&Preview\" page shown from change %d to %d\n", previewShown_[i],
                    i < previewHidden_.size() ? previewHidden_[i] : changes_);
    }
    PrintGrowth(samples_, o_.sampleEvery);
    ::CloseHandle(process_);
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    try {
        const Options options = ParseOptions(argc, argv);
        FindProgram();
        CheckCounters();
        for (const std::string& ended : EndStrayPrograms()) std::printf("Ended %s\n", ended.c_str());

        TraceCollector trace;
        Program program;
        program.QuietSettings();
        program.SlideshowInListOrder(1);
        program.SetIni("General", "LimitImageSize", "0");
        // Pictures up to most of the screen are previewed at once, larger ones wait for a click.
        program.SetIni("General", "LimitPreviewSize", "1");
        program.SetIni("General", "MaxPreviewSize", "2000");

        const auto seedStart = std::chrono::steady_clock::now();
        const Seeded seeded = SeedPictures(program, options.pictures, options.formats);
        std::printf("Seeded %zu pictures (", seeded.records.size());
        for (const PictureKind& kind : kKinds) std::printf("%d/1000 %s; ", kind.perThousand, kind.what);
        std::printf("formats:");
        for (const std::string& f : options.formats) std::printf(" %s", f.c_str());
        std::printf(") in %.0f s\n", std::chrono::duration<double>(
                                        std::chrono::steady_clock::now() - seedStart).count());

        program.Start();
        Soak soak(options, program, trace);
        int status = 0;
        try {
            soak.Run();
        } catch (const Failure& failure) {
            std::printf("\nFAILED: %s\n", failure.what());
            status = 1;
        }

        program.Shutdown();
        if (!program.WaitForExit()) {
            std::printf("FAILED: the program did not end on ShutdownPictavo\n");
            return 1;
        }
        // What the design writes: the same records, saved again at "&OK" and at exit.
        const std::string onDisk = ReadFile(program.TablePath());
        const pictavo::TableParseResult saved = pictavo::ParseTable(onDisk);
        bool same = saved.Ok() && saved.Records.size() == seeded.records.size();
        for (size_t i = 0; same && i < saved.Records.size(); ++i) {
            same = saved.Records[i] == seeded.records[i];
        }
        std::printf("List on disk: %s, %zu records, %s; bytes %s the seeded file\n",
                    saved.Ok() ? "readable" : saved.Error.c_str(), saved.Records.size(),
                    same ? "the seeded ones" : "NOT the seeded ones",
                    onDisk == seeded.tableBytes ? "equal to" : "differ from");
        if (!same) status = 1;
        return status;
    } catch (const std::exception& e) {
        std::printf("FAILED: %s\n", e.what());
        return 1;
    }
}
