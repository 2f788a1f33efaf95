#include "pictures/OpenImportDialog.h"

#include <cderr.h>
#include <commdlg.h>

#include "pictures/AddRules.h"

namespace pictavo {

bool TOpenImportDialog::Execute(HWND owner, const std::string& initialDir,
                                std::vector<std::string>& files) {
    std::string buffer(kBufferSize, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kOpenImportFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrTitle = "Select Wallpaper Files to Import";
    ofn.lpstrDefExt = "bmp";
    ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                OFN_FILEMUSTEXIST | OFN_NOTESTFILECREATE | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameA(&ofn)) {
        if (::CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
            prompts_.Message(owner, "Error: Too many files were chosen at once.");
        }
        return false;
    }
    files = SplitSelectedFiles(buffer);
    return true;
}

}  // namespace pictavo
