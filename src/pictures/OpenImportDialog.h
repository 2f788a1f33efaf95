#pragma once
// The open dialog dlgOpenImport, "Select Wallpaper Files to Import".
#include "pictures/PictureAdder.h"

namespace pictavo {

// Its filters, each a caption and its patterns: every kind of picture taken
// first, then bitmaps alone, then everything.
inline constexpr char kOpenImportFilter[] =
    "Pictures\0*.bmp;*.jpg;*.jpeg;*.jpe;*.png;*.gif;*.tif;*.tiff\0"
    "Bitmaps (*.bmp)\0*.bmp\0"
    "All Files (*.*)\0*.*\0";

class TOpenImportDialog final : public IOpenFilesDialog {
public:
    // Room for the names of many thousands of files chosen at once.
    static constexpr size_t kBufferSize = 4 * 1024 * 1024;

    explicit TOpenImportDialog(IPrompts& prompts) : prompts_(prompts) {}

    bool Execute(HWND owner, const std::string& initialDir,
                 std::vector<std::string>& files) override;

private:
    IPrompts& prompts_;
};

}  // namespace pictavo
