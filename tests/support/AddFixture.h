#pragma once
// The adding operations over a real inventory of small files in temporary
// folders, with the "Add Wallpaper" dialog, the open dialog and the message
// boxes answered from scripts, and the main window's face recorded.
#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "detect/WallpaperDetector.h"
#include "inventory/InventoryStore.h"
#include "pictures/PictureAdder.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "support/VirtualTimers.h"

namespace pictavo::testing {

struct RecordingUserInterface : IUserInterface {
    std::vector<std::string> errors, traces;
    std::string hint;
    int hintChanges = 0;
    HWND MainWindow() const override { return nullptr; }
    void Trace(const std::string& text) override { traces.push_back(text); }
    void ShowError(const std::string& message) override { errors.push_back(message); }
    void ShowHint(const std::string& text) override {
        hint = text;
        ++hintChanges;
    }
    void ProcessMessages() override {}
};

struct NoSizeLimit : IImageSizeLimit {
    bool LimitImageSize() const override { return false; }
    int MaxImageSize() const override { return 1500; }
};

// Each showing of the dialog runs the next answer on the controls' entries.
class ScriptedOptionsDialog final : public IWallpaperOptionsDialog {
public:
    using Answer = std::function<bool(WallpaperOptionsState&)>;
    std::deque<Answer> answers;
    std::vector<WallpaperOptionsState> shown;  // as each showing began

    bool ShowModal(WallpaperOptionsState& state) override {
        shown.push_back(state);
        if (answers.empty()) {
            ADD_FAILURE() << "the dialog was shown once more than scripted: " << state.fileName;
            return false;
        }
        Answer answer = std::move(answers.front());
        answers.pop_front();
        return answer(state);
    }
};

// Answers: OK with the entries changed as given.
inline ScriptedOptionsDialog::Answer Ok(std::function<void(WallpaperOptionsState&)> change = {}) {
    return [change](WallpaperOptionsState& state) {
        if (change) change(state);
        return true;
    };
}
inline ScriptedOptionsDialog::Answer OkWith(uint8_t option, bool applyToAll = false,
                                            bool tile = true) {
    return Ok([=](WallpaperOptionsState& s) {
        s.option = option;
        s.applyToAll = applyToAll;
        s.tile = tile;
    });
}
inline ScriptedOptionsDialog::Answer Cancel(bool applyToAll = false) {
    return [applyToAll](WallpaperOptionsState& state) {
        state.applyToAll = applyToAll;
        return false;
    };
}

struct ScriptedOpenDialog final : IOpenFilesDialog {
    bool answer = true;
    std::vector<std::string> files;
    std::vector<std::string> initialDirs;
    bool Execute(HWND, const std::string& initialDir, std::vector<std::string>& chosen) override {
        initialDirs.push_back(initialDir);
        if (answer) chosen = files;
        return answer;
    }
};

// The settings both adding and detection read, as plain values.
struct FakeAddingSettings final : IAddingSettings, IDetectionSettings {
    std::string dataDirectory, importDir;
    bool promptForName = true, confirmAdditions = false;
    std::string pollFileName = "Netscape Wallpaper.bmp";
    bool polling = true, tinkle = false, settingsTransfer = false;
    int pollInterval = 5;
    std::vector<const void*> settingsSaves;

    bool PollingChecked() const override { return polling; }
    int PollIntervalPosition() const override { return pollInterval; }
    std::vector<std::string> FixedPollNames() const override {
        return {"Netscape Wallpaper.bmp", "Internet Explorer Wallpaper.bmp"};
    }
    bool TinkleOnDetection() const override { return tinkle; }
    bool SettingsTransfer() const override { return settingsTransfer; }
    void GenericSettingsChange(const void* sender) override { settingsSaves.push_back(sender); }

    const std::string& DataDirectory() const override { return dataDirectory; }
    const std::string& ImportDir() const override { return importDir; }
    void SetImportDir(const std::string& folder) override { importDir = folder; }
    bool PromptForName() const override { return promptForName; }
    bool ConfirmAdditions() const override { return confirmAdditions; }
    std::vector<std::string> RenameFileNames() const override {
        return {"Internet Explorer Wallpaper.bmp", "Netscape Wallpaper.bmp"};
    }
    std::string PollFileName() const override { return pollFileName; }
};

struct RecordingProgress final : IAddProgress {
    std::vector<std::string> log;
    bool shown = false;
    std::function<void(int)> onPosition;  // runs as each file of a batch is done
    void Begin(int maximum) override {
        shown = true;
        log.push_back("begin " + std::to_string(maximum));
    }
    void SetPosition(int position) override {
        log.push_back(std::to_string(position));
        if (onPosition) onPosition(position);
    }
    void End() override {
        shown = false;
        log.push_back("end");
    }
};

// Folders "Pics", "Other" and the data directory "Images" in a temporary folder.
class AddRig {
public:
    TempDir dir;
    std::string pics = dir / "Pics", other = dir / "Other", data = dir / "Images";
    VirtualTimers clock;
    TInputTimeout timeout{clock, 2250};
    RecordingUserInterface ui;
    NoSizeLimit limit;
    TInventoryStore store{timeout, ui, limit};
    ProgramFlags flags;
    ScriptedPrompts prompts;
    ScriptedOptionsDialog dialog;
    ScriptedOpenDialog openDialog;
    FakeAddingSettings settings;
    RecordingProgress progress;
    TPictureAdder adder{{store, ui, flags, prompts, dialog, openDialog, settings, progress}};

    AddRig() {
        for (const std::string* folder : {&pics, &other, &data}) {
            ::CreateDirectoryA(folder->c_str(), nullptr);
        }
        settings.dataDirectory = data;
        settings.importDir = dir.Path();
        store.SetTableFile(data, "GDB.CDS");
        store.CreateTable();
        store.MakeClones();
    }
    // A list save still pending runs while the store exists.
    ~AddRig() { timeout.Flush(); }
    AddRig(const AddRig&) = delete;
    AddRig& operator=(const AddRig&) = delete;

    // A small file with the given content; returns its path.
    static std::string Put(const std::string& path, const std::string& content = "BMpicture") {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << content;
        return path;
    }
    static std::string Content(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static bool Exists(const std::string& path) {
        return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool Listed(const std::string& path) { return store.Table().Seek(KeyOfPath(path)) != NoRecord; }
    InventoryRecord Record(const std::string& path) {
        return store.Table().Record(store.Table().Seek(KeyOfPath(path)));
    }
};

}  // namespace pictavo::testing
