#pragma once
// Bringing picture files into the inventory: the files a user picks, a list of
// files at once, one file, and the "Add Wallpaper" question with the file
// transfer its answer asks for. Detection, the clipboard and moving use the
// question and the transfer too.
#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "pictures/AddProgress.h"
#include "inventory/InventoryStore.h"
#include "pictures/WallpaperOptions.h"
#include "platform/FlagScope.h"
#include "platform/PicturePath.h"
#include "platform/Prompts.h"
#include "platform/UserInterface.h"

namespace pictavo {

// The settings adding reads; the settings side implements it.
class IAddingSettings {
public:
    virtual ~IAddingSettings() = default;
    virtual const std::string& DataDirectory() const = 0;
    // Initial folder of the open dialog, and where the last pick is remembered.
    virtual const std::string& ImportDir() const = 0;
    virtual void SetImportDir(const std::string& folder) = 0;
    // "Always prompt for name of new wallpaper".
    virtual bool PromptForName() const = 0;
    // "When addi&ng records": ask before a bulk addition from the open dialog.
    virtual bool ConfirmAdditions() const = 0;
    // The browsers' fixed wallpaper names and the user's poll file name.
    virtual std::vector<std::string> RenameFileNames() const = 0;
    virtual std::string PollFileName() const = 0;
};

// The open dialog dlgOpenImport; unit tests answer it from a script.
class IOpenFilesDialog {
public:
    virtual ~IOpenFilesDialog() = default;
    // The chosen files in the order the dialog lists them; false when cancelled.
    virtual bool Execute(HWND owner, const std::string& initialDir,
                         std::vector<std::string>& files) = 0;
};

class TPictureAdder {
public:
    struct Services {
        TInventoryStore& inventory;
        IUserInterface& ui;
        ProgramFlags& flags;
        IPrompts& prompts;
        IWallpaperOptionsDialog& dialog;
        IOpenFilesDialog& openDialog;
        IAddingSettings& settings;
        IAddProgress& progress;
    };

    explicit TPictureAdder(Services services);

    // "Add files to list": the open dialog, then the files it chose.
    void mnuAdd1Click();
    void AddPictureFiles(const std::vector<std::string>& paths, bool confirm);
    void AddPictureFile(const std::string& path, bool tile);
    // With eachOwnTile, every file of the batch starts from the tile flag its
    // caller gives (a list's own mode per picture), also when the options are
    // applied to all remaining files; otherwise only the first one does.
    void BeginAddBatch(bool severalFiles, bool eachOwnTile = false);
    // The "Add Wallpaper" question. On true the path is where the file is to
    // go, and the copy and tile flags are the user's.
    bool AskWallpaperOptions(const std::string& title, std::string& path, bool tileChoice,
                             bool fromClipboard, uint8_t selectedMask, uint8_t enabledMask,
                             bool& copy, bool& tile);
    // An existing destination is replaced only where ConfirmOverwrite agreed:
    // a file that appeared since is reported, not overwritten.
    bool TransferPictureFile(const std::string& source, const std::string& destination,
                             bool keepSource);
    bool ConfirmOverwrite(const std::string& path);
    bool IsSupportedFile(const std::string& path) const;
    bool IsInputFileName(const std::string& path) const;
    std::string MakeCaptureName(const std::string& fileName) const;

    // While one lives, each target folder is listed once and its names kept,
    // as during a bulk addition: a list import adds as many files as one.
    class BulkScope {
    public:
        explicit BulkScope(TPictureAdder& adder) : adder_(adder), hold_(adder.listFolders_) {
            adder_.ForgetFolders();
        }
        ~BulkScope() { adder_.ForgetFolders(); }
        BulkScope(const BulkScope&) = delete;
        BulkScope& operator=(const BulkScope&) = delete;

    private:
        TPictureAdder& adder_;
        FlagHold hold_;
    };

    // The "Add Wallpaper" dialog is up, or a bulk addition or list import
    // runs: one more caller would reset the batch under it.
    bool Adding() const { return asking_ || listFolders_; }

    // The dialog's entries as they stand between showings.
    const WallpaperOptionsState& DialogState() const { return state_; }

private:
    void PrepareDialog(const std::string& title, const PicturePath& path, bool tileChoice,
                       bool fromClipboard, uint8_t selectedMask, uint8_t enabledMask, bool tile);
    // AddPictureFile's work, which a file's own failure may end.
    void AddOneFile(const std::string& path, bool tile);
    // Asks, transfers and stores one file going to the given destination.
    void AskAndStore(const std::string& path, std::string destination, uint8_t selectedMask,
                     uint8_t enabledMask, bool tile);

    Services s_;
    WallpaperOptionsState state_;
    bool severalFiles_ = false;
    bool firstOfBatch_ = true;
    bool eachOwnTile_ = false;
    bool cancelledInBatch_ = false;
    bool asking_ = false;
    // The destination the user agreed to overwrite (lower case).
    std::string overwriteAgreed_;

    // The names in each target folder (lower case), listed once while a bulk
    // addition runs: under Wine, asking for a name that is not there reads the
    // whole folder, which a batch into one folder would do for every file.
    bool TargetExists(const std::string& path);
    void ForgetFolders() { folderNames_.clear(); }
    bool listFolders_ = false;
    std::unordered_map<std::string, std::unordered_set<std::string>> folderNames_;
};

}  // namespace pictavo
