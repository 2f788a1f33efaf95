#pragma once
// Opens the selected picture in a picture editor: what Windows associates with
// the file, or the program the user chose under "Other editor:".
#include <windows.h>

#include <string>

#include "pictures/PictureActionServices.h"
#include "platform/UserInterface.h"

namespace pictavo {

// The editor settings of the group " Picture  Editor ".
class IEditorSettings {
public:
    virtual ~IEditorSettings() = default;
    // "Use Windows default editor" (else "Other editor:").
    virtual bool UseDefaultEditor() const = 0;
    // The program to start (edtSelectedEditor): a file name or a full path.
    virtual std::string SelectedEditor() const = 0;
    // Into edtSelectedEditor, whose change is saved with the settings.
    virtual void SetSelectedEditor(const std::string& program) = 0;
};

class TPictureEditor final : public IPictureEditor {
public:
    TPictureEditor(IUserInterface& ui, IEditorSettings& settings, std::string windowsDirectory)
        : ui_(ui), settings_(settings), windowsDirectory_(std::move(windowsDirectory)) {}

    // The picture's full path goes to the editor as one argument, so a name
    // with blanks arrives whole and a picture in a drive root is found.
    void EditPicture(const std::string& location, const std::string& fileName) override;
    // "Select": picks the editor program with dlgOpenEditor.
    void btnSelectEditorClick();

private:
    IUserInterface& ui_;
    IEditorSettings& settings_;
    std::string windowsDirectory_;
};

}  // namespace pictavo
