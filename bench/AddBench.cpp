// Figures for a bulk addition: 10,000 bitmaps added in one batch with
// "Apply these options to all remaining files.", through the program's own
// adding code, store, deferred save, progress bar and picture count. The time
// of the same file copies alone is measured apart, so the cost of adding
// beyond them shows. Prints figures only; the budget is printed beside them.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "inventory/AddProgress.h"
#include "inventory/InventoryStore.h"
#include "inventory/PictureAdder.h"
#include "platform/Files.h"
#include "platform/InputTimeout.h"
#include "platform/Timer.h"

using namespace pictavo;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// This process's own processor time (user and kernel), in milliseconds: on a
// busy machine it shows the work apart from the wait for a processor. Work
// that the Wine server does for the process is not in it.
double CpuMs() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

// The main window's bottom panel: the picture count and the progress bar.
struct Panel {
    HWND window = nullptr, label = nullptr, bar = nullptr;
    Panel() {
        window = ::CreateWindowExA(0, "STATIC", "AddBench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   420, 120, nullptr, nullptr, nullptr, nullptr);
        label = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 8, 40, 220, 20, window,
                                  nullptr, nullptr, nullptr);
        bar = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 8, 40, 220, 18, window, nullptr,
                                nullptr, nullptr);
    }
    ~Panel() { ::DestroyWindow(window); }
};

// The main window's face: the count goes into the label, as the program does.
struct UserInterface : IUserInterface {
    Panel& panel;
    int visibleCountUpdates = 0, errors = 0;

    explicit UserInterface(Panel& p) : panel(p) {}
    HWND MainWindow() const override { return panel.window; }
    void Trace(const std::string&) override {}
    void ShowError(const std::string& message) override {
        ++errors;
        std::printf("error: %s\n", message.c_str());
    }
    void ShowHint(const std::string& text) override {
        // A visible label paints itself on every change of its text.
        if (::IsWindowVisible(panel.label)) ++visibleCountUpdates;
        ::SetWindowTextA(panel.label, text.c_str());
    }
    void ProcessMessages() override {}
};

struct NoSizeLimit : IImageSizeLimit {
    bool LimitImageSize() const override { return false; }
    int MaxImageSize() const override { return 1500; }
};

struct Prompts : IPrompts {
    int shown = 0;
    int Show(HWND, const std::string& text, UINT) override {
        if (++shown == 1) std::printf("first question: %s\n", text.c_str());
        return IDYES;
    }
};

// The user answers the first file with the option and ticks apply-to-all.
struct Dialog : IWallpaperOptionsDialog {
    uint8_t option = kOptionCopy;
    int shown = 0;
    bool ShowModal(WallpaperOptionsState& state) override {
        ++shown;
        state.option = option;
        state.applyToAll = true;
        return true;
    }
};

struct NoOpenDialog : IOpenFilesDialog {
    bool Execute(HWND, const std::string&, std::vector<std::string>&) override { return false; }
};

struct Settings : IAddingSettings {
    std::string data, import;
    const std::string& DataDirectory() const override { return data; }
    const std::string& ImportDir() const override { return import; }
    void SetImportDir(const std::string& folder) override { import = folder; }
    bool PromptForName() const override { return true; }
    bool ConfirmAdditions() const override { return false; }
    std::vector<std::string> RenameFileNames() const override {
        return {"Internet Explorer Wallpaper.bmp", "Netscape Wallpaper.bmp"};
    }
    std::string PollFileName() const override { return "Netscape Wallpaper.bmp"; }
};

void RemoveFolder(const std::string& folder) {
    std::string from = folder + '\0';
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    ::SHFileOperationA(&op);
}

struct Run {
    double ms = 0, cpuMs = 0;
    int dialogs = 0, prompts = 0, saves = 0, errors = 0, visibleCountUpdates = 0, barRepaints = 0;
    double saveMs = 0;
    size_t listed = 0;
};

Run AddBatch(const std::vector<std::string>& files, const std::string& data, uint8_t option) {
    ::CreateDirectoryA(data.c_str(), nullptr);
    Panel panel;
    TInputTimeout timeout(SystemTimers(), 2250);
    UserInterface ui(panel);
    NoSizeLimit limit;
    TInventoryStore store(timeout, ui, limit);
    store.SetTableFile(data, "GDB.CDS");
    store.CreateTable();
    store.MakeClones();
    ProgramFlags flags;
    Prompts prompts;
    Dialog dialog;
    dialog.option = option;
    NoOpenDialog open;
    Settings settings;
    settings.data = data;
    TAddProgress progress(panel.bar, panel.label);
    TPictureAdder adder({store, ui, flags, prompts, dialog, open, settings, progress});

    const auto start = Clock::now();
    const double cpuStart = CpuMs();
    adder.AddPictureFiles(files, false);
    Run run;
    run.ms = MsSince(start);
    run.cpuMs = CpuMs() - cpuStart;
    // The one deferred save, as the quiet time would run it: nothing lets the
    // wait timer tick during the batch.
    const bool savePending = timeout.Pending();
    const auto saveStart = Clock::now();
    timeout.Flush();
    const double saveMs = MsSince(saveStart);
    run.dialogs = dialog.shown;
    run.prompts = prompts.shown;
    run.saves = savePending ? 1 : 0;
    run.saveMs = saveMs;
    run.errors = ui.errors;
    run.visibleCountUpdates = ui.visibleCountUpdates;
    run.barRepaints = progress.Repaints();
    run.listed = store.Table().Count();
    return run;
}

void Report(const char* what, const Run& run) {
    std::printf("%s\n", what);
    std::printf("  %-40s %10.1f ms (processor time %.1f ms)\n", "batch", run.ms, run.cpuMs);
    std::printf("  %-40s %10zu\n", "pictures listed", run.listed);
    std::printf("  %-40s %10d\n", "dialogs shown", run.dialogs);
    std::printf("  %-40s %10d\n", "questions asked", run.prompts);
    std::printf("  %-40s %10d (%.1f ms)\n", "table saves", run.saves, run.saveMs);
    std::printf("  %-40s %10d\n", "picture count painted during the batch", run.visibleCountUpdates);
    std::printf("  %-40s %10d\n", "progress bar repaints", run.barRepaints);
    std::printf("  %-40s %10d\n", "errors", run.errors);
}

}  // namespace

int main(int argc, char** argv) {
    // Another number of files may be given, to see how the figures grow.
    const int kFiles = argc > 1 ? std::atoi(argv[1]) : 10'000;
    const bool leaveOnly = argc > 2;
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    // A folder of its own: process numbers come round again under Wine, and an
    // interrupted run leaves its files behind.
    std::string root;
    for (int n = 1;; ++n) {
        root = std::string(temp) + "pictavo-add-bench-" + std::to_string(n);
        if (::CreateDirectoryA(root.c_str(), nullptr)) break;
    }
    const std::string source = root + "\\Pictures", plain = root + "\\PlainCopies";
    ::CreateDirectoryA(source.c_str(), nullptr);
    ::CreateDirectoryA(plain.c_str(), nullptr);

    // A tiny bitmap: the figures are about adding, not about moving bytes.
    std::string bitmap(66, '\0');
    bitmap[0] = 'B';
    bitmap[1] = 'M';
    std::vector<std::string> files;
    for (int i = 0; i < kFiles; ++i) {
        files.push_back(source + "\\Picture " + std::to_string(i) + ".bmp");
        WriteFileAtomically(files.back(), bitmap);
    }
    std::printf("target: Windows (%u-bit), %d bitmaps of %zu bytes\n\n",
                static_cast<unsigned>(sizeof(void*) * 8), kFiles, bitmap.size());

    if (leaveOnly) {
        Report("Leave, applied to all remaining files (no copies)",
               AddBatch(files, root + "\\ImagesLeave", kOptionLeave));
        RemoveFolder(root);
        return 0;
    }
    // As the batch copies: new files into an empty folder, never replacing
    // one. Measured before and after the batch, since a busy machine makes
    // single figures wander.
    double copiesMs = 0, copiesCpuMs = 0;
    auto copyAlone = [&](const std::string& folder) {
        ::CreateDirectoryA(folder.c_str(), nullptr);
        const auto start = Clock::now();
        const double cpuStart = CpuMs();
        for (const std::string& file : files) {
            const std::string target = folder + "\\" + ExtractFileName(file);
            ::CopyFileA(file.c_str(), target.c_str(), TRUE);
        }
        const double ms = MsSince(start), cpuMs = CpuMs() - cpuStart;
        std::printf("%-42s %10.1f ms (processor time %.1f ms)\n", "the file copies alone", ms,
                    cpuMs);
        copiesMs += ms / 2;
        copiesCpuMs += cpuMs / 2;
    };
    copyAlone(plain);
    const Run copy = AddBatch(files, root + "\\ImagesCopy", kOptionCopy);
    copyAlone(plain + "Again");
    std::printf("\n");
    Report("Copy, applied to all remaining files", copy);
    std::printf("  %-40s %10.1f ms (processor time %.1f ms)   budget: at most 2000 ms\n\n",
                "beyond the file copies", copy.ms - copiesMs, copy.cpuMs - copiesCpuMs);

    const Run leave = AddBatch(files, root + "\\ImagesLeave", kOptionLeave);
    Report("Leave, applied to all remaining files (no copies)", leave);

    RemoveFolder(root);
    return 0;
}
