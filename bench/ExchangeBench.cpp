// Figures for picture lists: importing a list of 10,000 pictures (the first
// answered with "Apply these options to all remaining files.") through the
// program's own importer, adder, store and deferred save; and exporting
// 10,000 pictures through the Export Manager, with how late its window
// answers another thread at worst while it copies. The file operations alone
// are measured apart, so the cost beyond them shows. Prints figures only.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "AddingRig.h"
#include "exchange/FrmExport.h"
#include "exchange/ListFile.h"
#include "platform/Files.h"

using namespace pictavo;

namespace {

using namespace pictavo::bench;

// One program's inventory; every message is answered with OK.
struct Rig : AddingRig {
    explicit Rig(const std::string& data) : AddingRig("ExchangeBench", data) {
        prompts.answer = IDOK;
    }
};

double Import(const std::string& list, const std::string& data, uint8_t option, const char* what) {
    Rig rig(data);
    rig.dialog.option = option;
    const auto start = Clock::now();
    rig.importer.ImportListFiles({list});
    const double ms = MsSince(start);
    // The one deferred save, as the quiet time would run it: nothing lets the
    // wait timer tick during the import.
    const int saves = rig.timeout.Pending() ? 1 : 0;
    const auto saveStart = Clock::now();
    rig.timeout.Flush();
    const double saveMs = MsSince(saveStart);
    std::printf("%s\n", what);
    std::printf("  %-40s %10.1f ms\n", "import", ms);
    std::printf("  %-40s %10zu\n", "pictures listed", rig.store.Table().Count());
    std::printf("  %-40s %10d\n", "dialogs shown", rig.dialog.shown);
    std::printf("  %-40s %10d (%.1f ms)\n", "table saves", saves, saveMs);
    std::printf("  %-40s %10d\n", "errors", rig.ui.errors);
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    const int kFiles = argc > 1 ? std::atoi(argv[1]) : 10'000;
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    std::string root;
    for (int n = 1;; ++n) {
        root = std::string(temp) + "pictavo-exchange-bench-" + std::to_string(n);
        if (::CreateDirectoryA(root.c_str(), nullptr)) break;
    }
    const std::string source = root + "\\Exported";
    ::CreateDirectoryA(source.c_str(), nullptr);
    std::string bitmap(66, '\0');
    bitmap[0] = 'B';
    bitmap[1] = 'M';
    std::vector<std::string> names;
    std::string listText;
    for (int i = 0; i < kFiles; ++i) {
        names.push_back("Picture " + std::to_string(i) + ".bmp");
        WriteFileAtomically(source + "\\" + names.back(), bitmap);
        listText += ListLine(names.back(), i % 2 == 0);
    }
    const std::string list = source + "\\pvo.pvi";
    WriteFileAtomically(list, listText);
    std::printf("target: Windows (%u-bit), a list of %d bitmaps of %zu bytes\n\n",
                static_cast<unsigned>(sizeof(void*) * 8), kFiles, bitmap.size());

    // What the import cannot do without: each picture looked at and its stamp read.
    {
        const auto start = Clock::now();
        for (const std::string& name : names) {
            const std::string path = source + "\\" + name;
            if (FileExists(path)) ReadFileStamp(path);
        }
        std::printf("%-42s %10.1f ms\n\n", "looking at each file and its stamp alone", MsSince(start));
    }
    Import(list, root + "\\ImagesLeave", kOptionLeave,
           "Import, Leave applied to all remaining files (no copies)");
    // As the import copies: new files into an empty folder. Measured before and after it,
    // since a busy machine makes single figures wander.
    double copiesMs = 0;
    auto copyAlone = [&](const std::string& plain) {
        ::CreateDirectoryA(plain.c_str(), nullptr);
        const auto start = Clock::now();
        for (const std::string& name : names)
            ::CopyFileA((source + "\\" + name).c_str(), (plain + "\\" + name).c_str(), TRUE);
        const double ms = MsSince(start);
        std::printf("\n%-42s %10.1f ms\n\n", "the file copies alone", ms);
        copiesMs += ms / 2;
    };
    copyAlone(root + "\\PlainCopies");
    const double copyImportMs =
        Import(list, root + "\\ImagesCopy", kOptionCopy, "Import, Copy applied to all remaining files");
    copyAlone(root + "\\PlainCopiesAgain");
    std::printf("%-42s %10.1f ms   budget: at most 2000 ms\n\n", "copy import beyond the copies",
                copyImportMs - copiesMs);

    // Export: the Leave rig's inventory (10,000 enabled pictures) into a new folder.
    {
        Rig rig(root + "\\ImagesExport");
        rig.importer.ImportListFiles({list});
        Prompts prompts;
        prompts.answer = IDOK;
        TFrmExport form(rig.panel.window, root, {rig.store, prompts});
        ::SetWindowTextA(form.edtSubDir, "Export2");
        ::ShowWindow(form.Handle(), SW_SHOW);
        // Another thread asks the window something every 20 ms and keeps the longest wait.
        std::atomic<bool> stop{false};
        std::atomic<double> worstMs{0};
        std::atomic<int> asked{0};
        std::atomic<bool> proberDone{false};
        HWND window = form.Handle();
        std::thread prober([&] {
            while (!stop) {
                const auto start = Clock::now();
                DWORD_PTR result = 0;
                ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
                const double ms = MsSince(start);
                if (ms > worstMs && !stop) worstMs = ms;
                ++asked;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            proberDone = true;
        });
        const auto start = Clock::now();
        form.btnExportClick();
        const double ms = MsSince(start);
        stop = true;
        // The prober's last question is answered before it is waited for.
        while (!proberDone) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        prober.join();
        std::printf("Export of %zu pictures\n", rig.store.Table().Count());
        std::printf("  %-40s %10.1f ms\n", "export", ms);
        std::printf("  %-40s %10d\n", "pictures copied", form.Copied());
        std::printf("  %-40s %10d\n", "times another thread asked the window", asked.load());
        std::printf("  %-40s %10.1f ms\n", "longest wait for its answer", worstMs.load());
        std::printf("  %-40s %10s\n", "message", prompts.shown.empty() ? "-" : prompts.shown[0].c_str());
        std::printf("  %-40s %10zu bytes\n", "list written",
                    ReadWholeFile(root + "\\Export2\\pvo.pvi").size());
    }
    RemoveFolder(root);
    return 0;
}
