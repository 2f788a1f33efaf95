#pragma once
// The open dialog dlgOpenImport, "Select Wallpaper Files to Import".
#include "pictures/PictureAdder.h"

namespace pictavo {

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
