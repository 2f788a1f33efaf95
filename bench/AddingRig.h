#pragma once
// What the adding benchmarks share: the main window's bottom panel (picture
// count and progress bar), and one program's inventory with its face, adder
// and list importer, answered the way a user answers a bulk addition.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "exchange/ListImporter.h"
#include "pictures/AddProgress.h"
#include "inventory/InventoryStore.h"
#include "pictures/PictureAdder.h"
#include "platform/InputTimeout.h"
#include "platform/Timer.h"

namespace pictavo::bench {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Panel {
    HWND window = nullptr, label = nullptr, bar = nullptr;
    explicit Panel(const char* title) {
        window = ::CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 420,
                                   120, nullptr, nullptr, nullptr, nullptr);
        label = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 8, 40, 220, 20, window,
                                  nullptr, nullptr, nullptr);
        bar = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 8, 40, 220, 18, window, nullptr,
                                nullptr, nullptr);
    }
    ~Panel() { ::DestroyWindow(window); }
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;
};

// The main window's face: the count goes into the label, as the program does.
struct UserInterface : IUserInterface {
    Panel& panel;
    int visibleCountUpdates = 0, errors = 0;

    explicit UserInterface(Panel& p) : panel(p) {}
    HWND MainWindow() const override { return panel.window; }
    void Trace(const std::string&) override {}
    void ShowError(const std::string& message) override {
        if (++errors == 1) std::printf("error: %s\n", message.c_str());
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

// Every question and message, answered alike.
struct Prompts : IPrompts {
    int answer = IDYES;
    std::vector<std::string> shown;
    int Show(HWND, const std::string& text, UINT) override {
        shown.push_back(text);
        return answer;
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
    std::vector<std::string> renames;
    const std::string& DataDirectory() const override { return data; }
    const std::string& ImportDir() const override { return import; }
    void SetImportDir(const std::string& folder) override { import = folder; }
    bool PromptForName() const override { return true; }
    bool ConfirmAdditions() const override { return false; }
    std::vector<std::string> RenameFileNames() const override { return renames; }
    std::string PollFileName() const override { return "Netscape Wallpaper.bmp"; }
};

// One program's inventory in a data folder of its own, with its face, adder
// and importer.
struct AddingRig {
    Panel panel;
    TInputTimeout timeout{SystemTimers(), 2250};
    UserInterface ui{panel};
    NoSizeLimit limit;
    TInventoryStore store{timeout, ui, limit};
    ProgramFlags flags;
    Prompts prompts;
    Dialog dialog;
    NoOpenDialog open;
    Settings settings;
    TAddProgress progress{panel.bar, panel.label};
    TPictureAdder adder{{store, ui, flags, prompts, dialog, open, settings, progress}};
    TListImporter importer{{store, adder, ui, flags, progress}};

    AddingRig(const char* title, const std::string& data) : panel(title) {
        ::CreateDirectoryA(data.c_str(), nullptr);
        settings.data = data;
        store.SetTableFile(data, "GDB.CDS");
        store.CreateTable();
        store.MakeClones();
    }
    // The save still pending runs while the inventory is there: the wait
    // outlives the members declared after it, and would run it afterwards.
    ~AddingRig() { timeout.Close(); }
    AddingRig(const AddingRig&) = delete;
    AddingRig& operator=(const AddingRig&) = delete;
};

inline void RemoveFolder(const std::string& folder) {
    std::string from = folder + '\0';
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    ::SHFileOperationA(&op);
}

}  // namespace pictavo::bench
