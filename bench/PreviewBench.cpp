// Figures for the "&Preview" page with 100,000 pictures:
//  1. start-up of the real program (pictavo.exe beside the bench folder, or
//     the first argument) until its message loop is idle and its list holds
//     every row, with 100,000 pictures and with an empty list, alternating;
//  2. paging from the first to the last row with Page Down, each page drawn,
//     in a page of our own over a real store;
//  3. selecting a row with the preview limit on: over the limit (no picture
//     loaded) and within it, less the time the system takes to load the same
//     picture alone.
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "desktop/DesktopWallpaper.h"
#include "pictures/PictureAdder.h"
#include "preview/PreviewPage.h"
#include "inventory/TableFile.h"
#include "platform/Files.h"
#include "platform/InputTimeout.h"
#include "platform/Timer.h"
#include "support/BitmapFile.h"
#include "support/FakeWallpaper.h"
#include "support/StandInFaces.h"

using namespace pictavo;
using Clock = std::chrono::steady_clock;

namespace {

int kPictures = 100000;
constexpr int kRealPictures = 20;

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::string TempFolder(const char* name) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void WriteAll(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

// 100,000 records in `folder`, over the preview limit, with kRealPictures
// small bitmaps among them that exist.
std::vector<InventoryRecord> MakeRecords(const std::string& folder, int count,
                                         std::vector<std::string>* realNames) {
    std::vector<InventoryRecord> records;
    records.reserve(count);
    const std::string bitmap = testing::Bitmap24(64, 64, 0x606060);
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "picture %06d.bmp", i);
        InventoryRecord r;
        r.Enabled = true;
        r.Tile = i % 2 == 0;
        r.FileName = name;
        r.Location = folder;
        r.Size = 300000;
        if (realNames && i % (count / kRealPictures) == 0) {
            WriteAll(folder + "\\" + name, bitmap);
            r.Size = static_cast<std::int32_t>(bitmap.size());
            realNames->push_back(name);
        }
        records.push_back(std::move(r));
    }
    return records;
}

// ---------------------------------------------------------------------------
// 1. Start-up of the real program

struct Started {
    double ms = 0;
    int rows = -1;
};

struct MainWindowSearch {
    DWORD pid;
    HWND found;
};

// A plain function, not a lambda: the 32-bit callback convention is stdcall.
BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM lParam) {
    auto* s = reinterpret_cast<MainWindowSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof(cls));
    if (pid == s->pid && std::string(cls) == "TFrmMain") {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND MainWindowOf(DWORD processId) {
    MainWindowSearch s{processId, nullptr};
    ::EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND ListOf(HWND main) {
    HWND page = ::FindWindowExA(main, nullptr, "TPreviewPage", nullptr);
    return page ? ::FindWindowExA(page, nullptr, WC_LISTVIEWA, nullptr) : nullptr;
}

Started StartOnce(const std::string& exe, int expectedRows) {
    Started result;
    const std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    const auto t0 = Clock::now();
    if (!::CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          ExtractFileDir(exe).c_str(), &startup, &info)) {
        std::printf("cannot start %s\n", exe.c_str());
        return result;
    }
    ::WaitForInputIdle(info.hProcess, 60000);
    // Idle means start-up has finished and the tray menu is live; the list
    // must hold every row too.
    HWND list = nullptr;
    for (;;) {
        HWND main = MainWindowOf(info.dwProcessId);
        list = main ? ListOf(main) : nullptr;
        DWORD_PTR rows = 0;
        if (list && ::SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &rows) &&
            static_cast<int>(rows) == expectedRows) {
            result.rows = static_cast<int>(rows);
            break;
        }
        if (Ms(t0) > 60000) break;
        ::Sleep(1);
    }
    result.ms = Ms(t0);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, ::RegisterWindowMessageA("ShutdownPictavo"), 0, 0,
                          SMTO_ABORTIFHUNG, 5000, &ignored);
    if (::WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(info.hProcess, 1);
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return result;
}

void BenchStartup(const std::string& builtExe) {
    const std::string program = TempFolder("pictavo-preview-bench-");
    const std::string exe = program + "\\pictavo.exe";
    if (!::CopyFileA(builtExe.c_str(), exe.c_str(), FALSE)) {
        std::printf("start-up: no program at %s\n", builtExe.c_str());
        return;
    }
    const std::string ini = program + "\\pictavo.INI";
    ::WritePrivateProfileStringA("General", "Verbose", "0", ini.c_str());
    ::WritePrivateProfileStringA("General", "StartWithWindows", "0", ini.c_str());
    ::WritePrivateProfileStringA("Slideshow", "ChangeOnStartup", "0", ini.c_str());
    ::WritePrivateProfileStringA("AutoDetect", "Polling", "0", ini.c_str());
    const std::string images = program + "\\Images";
    ::CreateDirectoryA(images.c_str(), nullptr);
    const std::string table = images + "\\GDB.CDS";

    InventoryTable full;
    full.Assign(MakeRecords(program + "\\pics", kPictures, nullptr));
    const std::string fullBytes = SerializeTable(full);
    InventoryTable empty;
    const std::string emptyBytes = SerializeTable(empty);

    std::vector<double> withList, withoutList;
    for (int round = 0; round < 3; ++round) {
        WriteAll(table, emptyBytes);
        Started e = StartOnce(exe, 0);
        WriteAll(table, fullBytes);
        Started f = StartOnce(exe, kPictures);
        if (e.rows != 0 || f.rows != kPictures) {
            std::printf("start-up: the list did not fill (%d, %d rows)\n", e.rows, f.rows);
            return;
        }
        withoutList.push_back(e.ms);
        withList.push_back(f.ms);
        std::printf("start-up round %d: empty %.0f ms, %d pictures %.0f ms\n", round + 1, e.ms,
                    kPictures, f.ms);
    }
    const double e = Median(withoutList), f = Median(withList);
    std::printf("start-up median: empty list %.0f ms, %d pictures %.0f ms, ratio %.2f (limit 1.5)\n",
                e, kPictures, f, f / e);
    ::DeleteFileA(table.c_str());
    ::DeleteFileA((table + ".tmp").c_str());
    ::RemoveDirectoryA(images.c_str());
    ::DeleteFileA(exe.c_str());
    ::DeleteFileA(ini.c_str());
    ::DeleteFileA((program + "\\pictavo.bmp").c_str());
    ::RemoveDirectoryA(program.c_str());
}

// ---------------------------------------------------------------------------
// 2 and 3. The page in a window of the bench's own

struct Ui final : IUserInterface {
    HWND main = nullptr;
    HWND MainWindow() const override { return main; }
    void Trace(const std::string&) override {}
    void ShowError(const std::string& m) override { std::printf("error: %s\n", m.c_str()); }
    void ShowHint(const std::string&) override {}
    void ProcessMessages() override {}
};
struct NoSizeLimit final : IImageSizeLimit {
    bool LimitImageSize() const override { return false; }
    int MaxImageSize() const override { return 1500; }
};
struct NoPrompts final : IPrompts {
    int Show(HWND, const std::string&, UINT) override { return IDCANCEL; }
};
struct NoDialog final : IWallpaperOptionsDialog {
    bool ShowModal(WallpaperOptionsState&) override { return false; }
};
struct NoOpen final : IOpenFilesDialog {
    bool Execute(HWND, const std::string&, std::vector<std::string>&) override { return false; }
};
struct Settings final : IAddingSettings {
    std::string dir;
    const std::string& DataDirectory() const override { return dir; }
    const std::string& ImportDir() const override { return dir; }
    void SetImportDir(const std::string&) override {}
    bool PromptForName() const override { return false; }
    bool ConfirmAdditions() const override { return false; }
    std::vector<std::string> RenameFileNames() const override { return {}; }
    std::string PollFileName() const override { return ""; }
};
struct NoProgress final : IAddProgress {
    void Begin(int) override {}
    void SetPosition(int) override {}
    void End() override {}
};

// Our own work: the time inside the page's handlers (its notices, which
// include the rows' texts and images the list asks for, and its commands) and
// inside the preview's painting, the outermost call counted once. What the
// list view does on its own (scrolling, drawing rows) is left out.
struct OwnWork {
    double ms = 0;
    int depth = 0;
    Clock::time_point start;
} own;

// The timed windows' own procedures (the page, the preview message, the
// picture); replaced rather than chained through comctl32's subclassing, whose
// lookups under Wine would be counted as ours.
WNDPROC pageProc = nullptr, messageProc = nullptr, pictureProc = nullptr;

LRESULT Timed(WNDPROC proc, bool timed, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!timed) return ::CallWindowProcA(proc, hwnd, message, wParam, lParam);
    if (own.depth++ == 0) own.start = Clock::now();
    const LRESULT result = ::CallWindowProcA(proc, hwnd, message, wParam, lParam);
    if (--own.depth == 0) own.ms += Ms(own.start);
    return result;
}
LRESULT CALLBACK TimedPage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return Timed(pageProc, message == WM_NOTIFY || message == WM_COMMAND, hwnd, message, wParam,
                 lParam);
}
LRESULT CALLBACK TimedMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return Timed(messageProc, message == WM_PAINT, hwnd, message, wParam, lParam);
}
LRESULT CALLBACK TimedPicture(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return Timed(pictureProc, message == WM_PAINT, hwnd, message, wParam, lParam);
}

WNDPROC Replace(HWND hwnd, WNDPROC proc) {
    return reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// The selected row, as the page's cursor has it (asking Wine's owner-data list
// walks its rows).
TInventoryStore* benchStore = nullptr;
int Selected(HWND) { return static_cast<int>(benchStore->cdtInventory().RecNo()) - 1; }

void Select(HWND list, int row) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void BenchPage() {
    const std::string folder = TempFolder("pictavo-preview-pics-");
    std::vector<std::string> realNames;
    std::vector<InventoryRecord> records = MakeRecords(folder, kPictures, &realNames);

    std::printf("made %d records\n", kPictures);
    Ui ui;
    TInputTimeout timeout(SystemTimers(), 2250);
    NoSizeLimit limit;
    TInventoryStore store(timeout, ui, limit);
    store.CreateTable();
    store.Table().Assign(std::move(records));
    store.MakeClones();
    benchStore = &store;
    testing::FakeWallpaper system;
    testing::StandInDesktopHost desktopHost;
    TDesktopWallpaper desktop(system, store, ui, desktopHost, desktopHost, "Pictavo");
    ProgramFlags flags;
    NoPrompts prompts;
    NoDialog dialog;
    NoOpen open;
    Settings settings;
    settings.dir = folder;
    NoProgress progress;
    TPictureAdder adder({store, ui, flags, prompts, dialog, open, settings, progress});
    testing::StandInPreviewHost host;
    testing::StandInPictureCommands commands;

    HWND main = ::CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  402, 443, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ui.main = main;
    {
        TPreviewPage page(main, RECT{4, 24, 394, 400},
                          {store, ui, desktop, adder, host, commands, flags, prompts});
        ::ShowWindow(page.Handle(), SW_SHOW);
        page.RefreshInventoryColumns();
        page.RefreshPreview(false);
        ::UpdateWindow(main);
        std::printf("page made\n");
        Pump();
        std::printf("page drawn\n");
        HWND list = page.dbgrdInventory;
        pageProc = Replace(page.Handle(), TimedPage);
        messageProc = Replace(page.pnlImageMessage, TimedMessage);
        pictureProc = Replace(page.imgDesktop, TimedPicture);

        // 2. Page Down from the first row to the last, every page drawn.
        std::vector<double> perPage, ownPerPage;
        // Wine's list view takes about 10 ms to draw a page: two rounds over
        // 100,000 rows take some four minutes.
        for (int round = 0; round < 2; ++round) {
            page.tbnFirstClick();
            ::UpdateWindow(list);
            int pages = 0;
            own.ms = 0;
            const auto t0 = Clock::now();
            while (Selected(list) < kPictures - 1) {
                const int before = Selected(list);
                ::SendMessageA(list, WM_KEYDOWN, VK_NEXT, 0);
                ::UpdateWindow(list);
                ::UpdateWindow(page.pnlImageMessage);
                ++pages;
                if (Selected(list) <= before) {
                    std::printf("paging stopped at row %d\n", before);
                    break;
                }
            }
            const double ms = Ms(t0);
            perPage.push_back(ms / pages);
            ownPerPage.push_back(own.ms / pages);
            std::printf("paging round %d: %d pages to row %d in %.0f ms: %.3f ms a page, of it "
                        "our own work %.3f ms\n",
                        round + 1, pages, Selected(list) + 1, ms, ms / pages, own.ms / pages);
        }
        std::printf("paging median: %.3f ms a page, our own work %.3f ms a page (limit 2 ms); "
                    "the preview reads \"%s\"\n",
                    Median(perPage), Median(ownPerPage), page.PreviewMessage().c_str());

        // 3. Selecting one row: over the limit, then within it less the load alone.
        std::vector<double> over, overOwn, within, withinOwn, load;
        for (int i = 0; i < 200; ++i) {
            const int row = 1 + (i * 4999) % (kPictures - 2);
            if (row % (kPictures / kRealPictures) == 0) continue;
            own.ms = 0;
            const auto t0 = Clock::now();
            Select(list, row);
            ::UpdateWindow(list);
            ::UpdateWindow(page.pnlImageMessage);
            over.push_back(Ms(t0));
            overOwn.push_back(own.ms);
        }
        for (int round = 0; round < 5; ++round) {
            for (std::size_t i = 0; i < realNames.size(); ++i) {
                const int row = static_cast<int>(i) * (kPictures / kRealPictures);
                Select(list, row + 1);  // away first, so the next is a change
                ::UpdateWindow(list);
                own.ms = 0;
                const auto t0 = Clock::now();
                Select(list, row);
                ::UpdateWindow(list);
                ::UpdateWindow(page.pnlImageMessage);
                ::UpdateWindow(page.imgDesktop);
                within.push_back(Ms(t0));
                withinOwn.push_back(own.ms);
                if (!page.PictureShown()) std::printf("row %d: no picture shown\n", row);
                const std::string path = LowerCase(folder) + "\\" + LowerCase(realNames[i]);
                const auto t1 = Clock::now();
                HANDLE bitmap = ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                             LR_LOADFROMFILE | LR_CREATEDIBSECTION);
                load.push_back(Ms(t1));
                ::DeleteObject(bitmap);
            }
        }
        std::printf("select over the limit: median %.3f ms, of it our own work %.3f ms\n",
                    Median(over), Median(overOwn));
        std::printf("select within the limit: median %.3f ms, of it our own work %.3f ms, of that "
                    "loading the picture alone %.3f ms: our own work beyond the load %.3f ms "
                    "(limit 5 ms)\n",
                    Median(within), Median(withinOwn), Median(load),
                    Median(withinOwn) - Median(load));
        Replace(page.Handle(), pageProc);
        Replace(page.pnlImageMessage, messageProc);
        Replace(page.imgDesktop, pictureProc);
    }
    ::DestroyWindow(main);
    for (const std::string& name : realNames) ::DeleteFileA((folder + "\\" + name).c_str());
    ::RemoveDirectoryA(folder.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // Figures show as they come, also when a run is cut short.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    ::InitCommonControls();
    // The preview decodes through COM, as the program has it from its start.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string exe;
    // Optional: the number of pictures, the program to start, and "startup".
    if (argc > 1) kPictures = std::max(100, std::atoi(argv[1]));
    if (argc > 2) {
        exe = argv[2];
    } else {
        exe = ExtractFileDir(ExtractFileDir(ExePath())) + "\\pictavo.exe";
    }
    // A third argument "startup" measures the start-up alone: Wine's own list
    // view takes minutes to draw 100,000 rows page by page.
    if (argc <= 3 || std::string(argv[3]) != "startup") BenchPage();
    BenchStartup(exe);
    return 0;
}
