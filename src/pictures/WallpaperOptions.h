#pragma once
// The "Add Wallpaper" dialog as the adding operations see it: the entries of
// its controls, and showing it. The real dialog is TfrmItemInfo; unit tests
// answer it from a script.
#include <cstdint>
#include <string>

#include "pictures/AddRules.h"

namespace pictavo {

// What the dialog's controls hold. The adding operations keep this working
// copy between showings, as the one reused dialog keeps its controls.
struct WallpaperOptionsState {
    std::string caption;
    std::string fromDir;   // edtFromDir: the source folder, or "(Clipboard)"
    std::string fileName;   // edtFileName: the new name without its extension
    std::string extension;  // Label1: the picture's own extension, as ".jpg"
    bool tile = true;      // rdoTiled, else rdoCenter
    bool tileChoiceEnabled = true;
    bool copyModeEnabled = true;  // gbxCopyMode
    uint8_t enabledOptions = kOptionLeave | kOptionMove | kOptionCopy;
    uint8_t option = kOptionLeave;  // the selected one of rdoLeave, rdoMove, rdoCopy
    bool applyToAll = false;        // chkApplyToAll
    bool applyToAllEnabled = false;
};

class IWallpaperOptionsDialog {
public:
    virtual ~IWallpaperOptionsDialog() = default;
    // Shows the dialog modally with these entries and writes the user's entries
    // back; true for OK, false for Cancel or a closed dialog.
    virtual bool ShowModal(WallpaperOptionsState& state) = 0;
};

}  // namespace pictavo
