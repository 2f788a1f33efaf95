// Figures for one wallpaper change of the real program, seen from outside:
// "Change Wallpaper &Now" from the tray (a double click on the icon, whose
// default item it is) until the main window's caption names the new picture,
// with 1,000 and 100,000 pictures in the list, the main window hidden and
// shown. After each change, in the same run and from rest, bare
// SPI_SETDESKWALLPAPER calls of another picture of the list (a hard link to
// the same bitmap): with the flags the program uses for a slide (write the
// profile and tell every window, which from here includes the program's own
// windows), with the profile only, and with neither; each with the ratio of
// the medians. The caption is polled every millisecond, so a change reads up
// to about a millisecond long.
//
// Usage: change_bench [changes per phase] [list sizes...]
//   defaults: 60 changes, lists of 1000 and 100000 pictures; sizes may repeat
//   (1000 100000 1000 100000) to see the drift of a busy machine.
// The program is the build's pictavo.exe (PICTAVO_EXE, or beside the bench folder).
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness/Harness.h"
#include "inventory/TableFile.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "support/BitmapFile.h"

using namespace e2e;
using Clock = std::chrono::steady_clock;

namespace {

// Wine looks a new name up by reading the whole folder: files go in folders
// of a thousand.
constexpr int kPerFolder = 1000;

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string Base() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "pictavo-change-bench";
}

std::string FolderOf(int i) { return Base() + "\\f" + std::to_string(i / kPerFolder); }
std::string NameOf(int i) { return "p" + std::to_string(i) + ".bmp"; }

// The pictures: a 320 by 240 bitmap in each folder, and every name in it a
// hard link to that one (a file takes only so many links), or a copy where
// links are refused. Made once and kept for the next run.
bool MakePictures(int count) {
    ::CreateDirectoryA(Base().c_str(), nullptr);
    const std::string bitmap = pictavo::testing::Bitmap24(320, 240, [](int x, int y) {
        return ((x / 20 + y / 20) % 2) ? 0x3070B0u : 0xD0A040u;
    });
    const auto t0 = Clock::now();
    int made = 0;
    for (int i = 0; i < count; ++i) {
        const std::string master = FolderOf(i) + "\\master.bmp";
        if (i % kPerFolder == 0) {
            ::CreateDirectoryA(FolderOf(i).c_str(), nullptr);
            if (!Exists(master)) WriteFile(master, bitmap);
        }
        const std::string path = FolderOf(i) + "\\" + NameOf(i);
        if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        if (!::CreateHardLinkA(path.c_str(), master.c_str(), nullptr) &&
            !::CopyFileA(master.c_str(), path.c_str(), TRUE)) {
            std::printf("cannot make %s (error %lu)\n", path.c_str(), ::GetLastError());
            return false;
        }
        ++made;
    }
    if (made) std::printf("made %d picture files in %.0f s\n", made, Ms(t0) / 1000);
    return true;
}

std::string ListBytes(int count) {
    std::vector<pictavo::InventoryRecord> records;
    records.reserve(count);
    for (int i = 0; i < count; ++i) {
        pictavo::InventoryRecord r;
        r.Enabled = true;
        r.Tile = true;
        r.FileName = NameOf(i);
        r.Location = FolderOf(i);
        r.Size = 230454;
        records.push_back(std::move(r));
    }
    pictavo::InventoryTable table;
    table.Assign(std::move(records));
    return pictavo::SerializeTable(table);
}

HWND ListOf(HWND main) {
    HWND page = ::FindWindowExA(main, nullptr, "TPreviewPage", nullptr);
    return page ? ::FindWindowExA(page, nullptr, "SysListView32", nullptr) : nullptr;
}

struct Phase {
    std::vector<double> change;
    // The bare call: as the program makes it for a slide that is kept (write
    // the profile and tell every window), with the profile only, and with neither.
    std::vector<double> told, profile, bare;
    int lost = 0;  // changes whose caption never came
};

// Waits until the program has handled everything before this (its own
// broadcast included), so each measure starts from rest.
bool Settle(HWND main) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
}

double TimeBareCall(HWND main, std::string path, UINT flags) {
    Settle(main);
    const auto t0 = Clock::now();
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path.data(), flags);
    return Ms(t0);
}

Phase Measure(HWND main, HWND icon, int count, int changes) {
    Phase phase;
    for (int i = 0; i < changes; ++i) {
        Settle(main);
        const std::string before = Caption(main);
        const auto t0 = Clock::now();
        ::PostMessageA(icon, WM_USER + 1, 1, WM_LBUTTONDBLCLK);
        // Polled with a pause of a millisecond: spinning would take the
        // processor and the wine server from the program being measured.
        bool changed = false;
        while (Ms(t0) < 30000) {
            if (Caption(main) != before) {
                changed = true;
                break;
            }
            ::Sleep(1);
        }
        if (changed) {
            phase.change.push_back(Ms(t0));
        } else {
            ++phase.lost;
        }
        // A listed picture, so the program finds the new wallpaper known and
        // captures nothing.
        const int other = (i * 7919) % count;
        const std::string path = pictavo::LowerCase(FolderOf(other) + "\\" + NameOf(other));
        phase.told.push_back(TimeBareCall(main, path, SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE));
        phase.profile.push_back(TimeBareCall(main, path, SPIF_UPDATEINIFILE));
        phase.bare.push_back(TimeBareCall(main, path, 0));
    }
    return phase;
}

void Report(const char* what, int count, const Phase& p) {
    const double change = Median(p.change);
    std::printf("%6d pictures, window %-6s: change %6.2f ms (min %6.2f, max %6.2f)%s\n", count,
                what, change,
                p.change.empty() ? 0 : *std::min_element(p.change.begin(), p.change.end()),
                p.change.empty() ? 0 : *std::max_element(p.change.begin(), p.change.end()),
                p.lost ? (", " + std::to_string(p.lost) + " changes lost").c_str() : "");
    const double told = Median(p.told), profile = Median(p.profile), bare = Median(p.bare);
    std::printf("        bare call: profile + told %6.2f ms (x%.2f), profile only %6.2f ms (x%.2f), "
                "neither %6.2f ms (x%.2f)\n",
                told, told > 0 ? change / told : 0, profile, profile > 0 ? change / profile : 0,
                bare, bare > 0 ? change / bare : 0);
}

void Run(int count, int changes) {
    Program program;
    program.QuietSettings();
    program.SetIni("AutoDetect", "Polling", "0");
    program.SetIni("Slideshow", "AutoChange", "0");
    ::CreateDirectoryA(program.DataDir().c_str(), nullptr);
    WriteFile(program.TablePath(), ListBytes(count));
    const auto t0 = Clock::now();
    program.Start();
    if (!program.WaitUntilIdle(std::chrono::minutes(5))) {
        std::printf("%d pictures: the program did not start\n", count);
        return;
    }
    HWND main = program.MainWindow();
    HWND icon = TrayIconWindow(program);
    if (!main || !icon) {
        std::printf("%d pictures: no main window or tray icon\n", count);
        return;
    }
    DWORD_PTR rows = 0;
    ::SendMessageTimeoutA(ListOf(main), LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 30000, &rows);
    std::printf("%d pictures: started in %.0f ms, the list holds %d rows\n", count, Ms(t0),
                static_cast<int>(rows));
    // What every trace line costs the program while no viewer runs: one
    // search of the top-level windows by title.
    std::vector<double> search;
    for (int i = 0; i < 200; ++i) {
        const auto t1 = Clock::now();
        ::FindWindowA(nullptr, "Norvex Message Window");
        search.push_back(Ms(t1));
    }
    int windows = 0;
    ::EnumWindows([](HWND, LPARAM n) WINAPI -> BOOL { return ++*reinterpret_cast<int*>(n), TRUE; },
                  reinterpret_cast<LPARAM>(&windows));
    std::printf("    a search for the trace viewer among %d top-level windows (%zu of them the "
                "program's): %.3f ms\n",
                windows, TopLevelWindows(program.ProcessId()).size(), Median(search));
    // A few changes first: the first ones load code and fill caches.
    Measure(main, icon, count, 5);
    const Phase hidden = Measure(main, icon, count, changes);
    Report("hidden", count, hidden);

    // Shown as a second copy would show it: the "&Preview" page with its list.
    Broadcast("RestorePictavo");
    WaitFor([&] { return ::IsWindowVisible(main) != FALSE; });
    Settle(main);
    Measure(main, icon, count, 5);
    const Phase shown = Measure(main, icon, count, changes);
    Report("shown", count, shown);
    program.Shutdown();
    program.WaitForExit(std::chrono::minutes(1));
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (!std::getenv("PICTAVO_EXE")) {
        const std::string exe =
            pictavo::ExtractFileDir(pictavo::ExtractFileDir(pictavo::ExePath())) + "\\pictavo.exe";
        ::SetEnvironmentVariableA("PICTAVO_EXE", exe.c_str());
        _putenv(("PICTAVO_EXE=" + exe).c_str());
    }
    int changes = 60;
    std::vector<int> counts;
    if (argc > 1) changes = std::max(5, std::atoi(argv[1]));
    for (int i = 2; i < argc; ++i) counts.push_back(std::max(10, std::atoi(argv[i])));
    if (counts.empty()) counts = {1000, 100000};
    if (!MakePictures(*std::max_element(counts.begin(), counts.end()))) return 1;
    for (int count : counts) Run(count, changes);
    return 0;
}
