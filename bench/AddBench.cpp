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

#include "AddingRig.h"
#include "platform/Files.h"

using namespace pictavo;

namespace {

using namespace pictavo::bench;

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

struct Run {
    double ms = 0, cpuMs = 0;
    int dialogs = 0, prompts = 0, saves = 0, errors = 0, visibleCountUpdates = 0, barRepaints = 0;
    double saveMs = 0;
    size_t listed = 0;
};

Run AddBatch(const std::vector<std::string>& files, const std::string& data, uint8_t option) {
    AddingRig rig("AddBench", data);
    rig.dialog.option = option;
    rig.settings.renames = {"Internet Explorer Wallpaper.bmp", "Netscape Wallpaper.bmp"};
    const auto start = Clock::now();
    const double cpuStart = CpuMs();
    rig.adder.AddPictureFiles(files, false);
    Run run;
    run.ms = MsSince(start);
    run.cpuMs = CpuMs() - cpuStart;
    // The one deferred save, as the quiet time would run it: nothing lets the
    // wait timer tick during the batch.
    const bool savePending = rig.timeout.Pending();
    const auto saveStart = Clock::now();
    rig.timeout.Flush();
    const double saveMs = MsSince(saveStart);
    run.dialogs = rig.dialog.shown;
    run.prompts = static_cast<int>(rig.prompts.shown.size());
    if (!rig.prompts.shown.empty()) std::printf("first question: %s\n", rig.prompts.shown[0].c_str());
    run.saves = savePending ? 1 : 0;
    run.saveMs = saveMs;
    run.errors = rig.ui.errors;
    run.visibleCountUpdates = rig.ui.visibleCountUpdates;
    run.barRepaints = rig.progress.Repaints();
    run.listed = rig.store.Table().Count();
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
