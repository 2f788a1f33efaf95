#include "shell/PictureEditor.h"

#include <commdlg.h>
#include <shellapi.h>

#include "platform/Paths.h"
#include "shell/LaunchRules.h"

namespace pictavo {

void TPictureEditor::EditPicture(const std::string& location, const std::string& fileName) {
    const std::string path = JoinPath(location, fileName);
    const std::string folder = StartFolder(location);
    HINSTANCE started;
    if (settings_.UseDefaultEditor()) {
        started =
            ::ShellExecuteA(ui_.MainWindow(), nullptr, path.c_str(), "", folder.c_str(), SW_SHOW);
    } else {
        const std::string editor = settings_.SelectedEditor();
        started = ::ShellExecuteA(ui_.MainWindow(), nullptr, editor.c_str(),
                                  QuotedArgument(path).c_str(), folder.c_str(), SW_SHOW);
    }
    const INT_PTR result = reinterpret_cast<INT_PTR>(started);
    if (result == 2) {
        ui_.ShowError("Unable to Edit.  Error 2.  Try removing spaces from file name.");
    } else if (result <= 32) {
        ui_.ShowError("Unable to Edit.  Error " + std::to_string(result) + ".");
    }
}

void TPictureEditor::btnSelectEditorClick() {
    char file[MAX_PATH] = "*.exe";
    OPENFILENAMEA dlgOpenEditor{};
    dlgOpenEditor.lStructSize = sizeof(dlgOpenEditor);
    dlgOpenEditor.hwndOwner = ui_.MainWindow();
    dlgOpenEditor.lpstrFilter = "Executable Files\0*.exe\0All Files\0*.*\0";
    dlgOpenEditor.lpstrFile = file;
    dlgOpenEditor.nMaxFile = sizeof(file);
    dlgOpenEditor.lpstrInitialDir = windowsDirectory_.c_str();
    dlgOpenEditor.lpstrTitle = "Select Editor";
    dlgOpenEditor.lpstrDefExt = "exe";
    dlgOpenEditor.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (::GetOpenFileNameA(&dlgOpenEditor)) settings_.SetSelectedEditor(file);
}

}  // namespace pictavo
