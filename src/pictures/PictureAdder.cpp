#include "pictures/PictureAdder.h"

#include "pictures/AddRules.h"
#include "inventory/ListingLimits.h"
#include "platform/Files.h"
#include "platform/FlagScope.h"
#include "platform/Guard.h"
#include "platform/Handles.h"

namespace pictavo {
namespace {

const char kTitle[] = "Add Wallpaper";

bool AnythingAt(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TPictureAdder::TPictureAdder(Services services) : s_(services) {}

void TPictureAdder::mnuAdd1Click() {
    std::vector<std::string> files;
    if (s_.openDialog.Execute(s_.ui.MainWindow(), s_.settings.ImportDir(), files) &&
        !files.empty()) {
        try {
            AddPictureFiles(files, s_.settings.ConfirmAdditions());
        } catch (...) {
            s_.inventory.ScheduleSave();
            throw;
        }
        s_.settings.SetImportDir(std::string(ExtractFileDir(files.front())));
    }
    // On the program's behalf, like every store of the batch: a different
    // sender would write the table now and again 2.25 s later.
    s_.inventory.ScheduleSave();
}

void TPictureAdder::AddPictureFiles(const std::vector<std::string>& paths, bool confirm) {
    if (confirm && s_.prompts.Show(s_.ui.MainWindow(),
                                   "Add " + std::to_string(paths.size()) + " files to list?",
                                   MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES) {
        return;
    }
    // Earlier values come back at the end: a batch run inside a capture (a
    // drop while its dialog is up) must not free the capture's hold.
    struct Finish {
        TPictureAdder& adder;
        bool earlierBusy;
        bool earlierSuspended;
        std::string last;
        ~Finish() {
            ProgramFlags& flags = adder.s_.flags;
            Guarded([&] {
                adder.s_.progress.End();
                adder.s_.inventory.ScheduleSave();
                flags.previewSuspended = earlierSuspended;
                adder.s_.inventory.SelectInList(last);
            });
            flags.previewSuspended = earlierSuspended;
            flags.detectionBusy = earlierBusy;
            adder.ForgetFolders();
        }
    } finish{*this, s_.flags.detectionBusy, s_.flags.previewSuspended, {}};
    s_.flags.detectionBusy = true;
    s_.flags.previewSuspended = true;
    ForgetFolders();
    FlagHold listFolders(listFolders_);
    TInventoryStore::Batch batch(s_.inventory);

    s_.progress.Begin(paths.empty() ? 0 : static_cast<int>(paths.size() - 1));
    BeginAddBatch(paths.size() > 1);
    for (size_t i = 0; i < paths.size(); ++i) {
        finish.last = paths[i];
        AddPictureFile(paths[i], true);
        s_.progress.SetPosition(static_cast<int>(i));
    }
}

void TPictureAdder::AddPictureFile(const std::string& path, bool tile) {
    try {
        AddOneFile(path, tile);
    } catch (const FileError& e) {
        // The file went or changed under us (while its dialog was up, say):
        // this file is told and the rest of a batch goes on.
        s_.ui.Trace(e.what());
        s_.ui.ShowError("Error: Unable to add " + path + " (" + SystemErrorText(e.Code()) + ").");
    }
}

void TPictureAdder::AddOneFile(const std::string& path, bool tile) {
    // Such a name cannot be opened, so it would pass for a missing file.
    if (const std::string lost = LostCharactersName(path); !lost.empty()) {
        s_.ui.ShowError(LostCharactersMessage(lost));
        return;
    }
    if (!FileExists(path)) return;
    const PicturePath picture(path);
    if (!IsSupportedFile(path)) {
        s_.ui.ShowError("Error: " + picture.Name() + " is not a supported file type.");
        return;
    }
    if (IsInputFileName(path)) {
        // A browser's drop file: only a move under a free "v" name keeps it
        // from being overwritten by the next one.
        AskAndStore(path, MakeCaptureName(picture.Name()), kOptionMove, kOptionMove, tile);
        return;
    }
    if ((!s_.settings.PromptForName() || s_.flags.startingUp) && s_.inventory.IsInInventory(path)) {
        s_.inventory.StorePictureRecord(path, path, true, true, tile);
        return;
    }
    AskAndStore(path, path, kOptionLeave, kOptionLeave | kOptionMove | kOptionCopy, tile);
}

void TPictureAdder::AskAndStore(const std::string& path, std::string destination,
                                uint8_t selectedMask, uint8_t enabledMask, bool tile) {
    bool copy = false;
    if (AskWallpaperOptions(kTitle, destination, true, false, selectedMask, enabledMask, copy,
                            tile) &&
        TransferPictureFile(path, destination, copy)) {
        s_.inventory.StorePictureRecord(path, destination, false, true, tile);
    }
}

void TPictureAdder::BeginAddBatch(bool severalFiles, bool eachOwnTile) {
    severalFiles_ = severalFiles;
    eachOwnTile_ = eachOwnTile;
    cancelledInBatch_ = false;
    state_.applyToAll = false;
    firstOfBatch_ = true;
}

void TPictureAdder::PrepareDialog(const std::string& title, const PicturePath& path,
                                  bool tileChoice, bool fromClipboard, uint8_t selectedMask,
                                  uint8_t enabledMask, bool tile) {
    state_.caption = title;
    state_.fromDir = fromClipboard ? std::string("(Clipboard)") : path.Folder();
    state_.fileName = ProposedName(path.Name());
    state_.extension = path.Extension();
    state_.tileChoiceEnabled = tileChoice;
    state_.copyModeEnabled = !fromClipboard;
    state_.enabledOptions = enabledMask;
    if (eachOwnTile_ && !firstOfBatch_) state_.tile = tile;
    if (firstOfBatch_) {
        firstOfBatch_ = false;
        state_.tile = tile;
        state_.option = selectedMask;
    }
    // A choice kept from an earlier file may not be open to this one.
    state_.option = EnabledOption(state_.option, selectedMask, enabledMask);
    state_.applyToAllEnabled = !fromClipboard && severalFiles_;
}

bool TPictureAdder::AskWallpaperOptions(const std::string& title, std::string& path,
                                        bool tileChoice, bool fromClipboard, uint8_t selectedMask,
                                        uint8_t enabledMask, bool& copy, bool& tile) {
    if (asking_) {
        // The one dialog is up already: never prepare it over itself.
        s_.ui.Trace("AskWallpaperOptions: the dialog is already up");
        return false;
    }
    FlagHold asking(asking_);
    overwriteAgreed_.clear();
    // Poll ticks and settings-change notices wait while any caller asks.
    FlagHold busy(s_.flags.detectionBusy);

    if (cancelledInBatch_) {
        if (state_.applyToAll) return false;
        cancelledInBatch_ = false;
    }

    // A new name keeps the picture's own extension: its format stays as it is.
    const PicturePath source(path);
    const std::string extension = source.Extension();
    bool chosenTile = tile;
    bool chosenCopy = copy;
    std::string accepted;
    bool decided = false;
    if (state_.applyToAll && !fromClipboard && (state_.option & enabledMask)) {
        // The option chosen for an earlier file, for this one under its own
        // name: Leave keeps it in its folder, Move and Copy take it to the
        // data directory.
        const PicturePath candidate(
            TargetFolder(state_.option, source.Folder(), s_.settings.DataDirectory()),
            source.Name());
        if (candidate.SameFile(source) || ConfirmOverwrite(candidate.AsWritten())) {
            accepted = candidate.SameFile(source) ? path : candidate.AsWritten();
            if (state_.option != kOptionLeave) chosenCopy = state_.option == kOptionCopy;
            chosenTile = eachOwnTile_ ? tile : state_.tile;
            decided = true;
        }
    }

    if (!decided) {
        PrepareDialog(title, source, tileChoice, fromClipboard, selectedMask, enabledMask, tile);
        for (;;) {
            if (!s_.dialog.ShowModal(state_)) {
                cancelledInBatch_ = true;
                return false;
            }
            chosenTile = state_.tile;
            const std::string name = TrimBlanks(state_.fileName);
            if (const std::string refusal = NameRefusal(name, extension); !refusal.empty()) {
                s_.ui.ShowError(refusal);
                continue;
            }
            const bool leave = state_.option == kOptionLeave;
            chosenCopy = leave ? copy : state_.option == kOptionCopy;
            std::string candidate;
            if (fromClipboard) {
                if (SameTextIgnoringCase(name + extension, source.Name())) {
                    accepted = path;
                    break;
                }
                candidate = JoinPath(source.Folder(), name + extension);
            } else {
                candidate = JoinPath(leave ? state_.fromDir : s_.settings.DataDirectory(),
                                     name + extension);
                if (candidate == path) {
                    accepted = path;
                    break;
                }
            }
            if (PicturePath(candidate).SameFile(source) || ConfirmOverwrite(candidate)) {
                accepted = candidate;
                break;
            }
        }
    }
    if (tileChoice) tile = chosenTile;
    copy = chosenCopy;
    path = accepted;
    return true;
}

bool TPictureAdder::TransferPictureFile(const std::string& source, const std::string& destination,
                                        bool keepSource) {
    // Refused before any file moves: a record of a cut path would point nowhere.
    if (const std::string refusal = ListingRefusal(destination); !refusal.empty()) {
        s_.ui.ShowError(refusal);
        return false;
    }
    const PicturePath from(source), to(destination);
    if (from.SameFile(to)) return true;
    const bool replace = !overwriteAgreed_.empty() && to.Key() == overwriteAgreed_;
    overwriteAgreed_.clear();
    if (from.KeyFolder() != to.KeyFolder()) {
        if (!::CopyFileA(source.c_str(), destination.c_str(), !replace)) {
            const DWORD code = ::GetLastError();
            s_.ui.ShowError("Error: Unable to copy " + source + " to " + destination + " (" +
                            SystemErrorText(code) + ").");
            return false;
        }
        // A source that cannot be deleted stays beside its copy; the list takes the copy.
        if (!keepSource && !::DeleteFileA(source.c_str())) {
            s_.ui.Trace("TransferPictureFile: unable to delete " + source + ": " +
                        SystemErrorText(::GetLastError()));
        }
    } else if (!::MoveFileExA(source.c_str(), destination.c_str(),
                              replace ? MOVEFILE_REPLACE_EXISTING : 0)) {
        // The same folder, a new name: a rename.
        const DWORD code = ::GetLastError();
        s_.ui.ShowError("Error: Unable to rename " + source + " to " + destination + " (" +
                        SystemErrorText(code) + ").");
        return false;
    }
    auto names = folderNames_.find(to.KeyFolder());
    if (names != folderNames_.end()) names->second.insert(to.KeyName());
    return true;
}

bool TPictureAdder::ConfirmOverwrite(const std::string& path) {
    if (!TargetExists(path)) return true;
    if (!s_.prompts.Confirm(s_.ui.MainWindow(), "Overwrite existing file " + path + " ?",
                            MB_YESNO)) {
        return false;
    }
    overwriteAgreed_ = PicturePath(path).Key();
    return true;
}

bool TPictureAdder::TargetExists(const std::string& path) {
    if (!listFolders_) return FileExists(path);
    const PicturePath target = path;
    const std::string folder = target.KeyFolder();
    auto names = folderNames_.find(folder);
    if (names == folderNames_.end()) {
        names = folderNames_.emplace(folder, std::unordered_set<std::string>()).first;
        WIN32_FIND_DATAA data{};
        UniqueFind find(::FindFirstFileA(JoinPath(target.Folder(), "*").c_str(), &data));
        if (find) {
            do {
                names->second.insert(LowerCase(data.cFileName));
            } while (::FindNextFileA(find.Get(), &data));
        }
    }
    // A listed name is looked at again: it may be a folder, or gone since.
    return names->second.count(target.KeyName()) > 0 && FileExists(path);
}

bool TPictureAdder::IsSupportedFile(const std::string& path) const {
    return IsSupportedFileName(path);
}

bool TPictureAdder::IsInputFileName(const std::string& path) const {
    return pictavo::IsInputFileName(path, s_.settings.RenameFileNames(),
                                    s_.settings.PollFileName());
}

std::string TPictureAdder::MakeCaptureName(const std::string& fileName) const {
    return pictavo::MakeCaptureName(s_.settings.DataDirectory(), fileName, AnythingAt);
}

}  // namespace pictavo
