#pragma once
// The settings the picture commands and the editor read, from the controls
// that hold them. A change made here is a click or an edit on the control, so
// it is saved like one the user made.
#include "app/OptionsPage.h"
#include "pictures/PictureActionServices.h"
#include "shell/PictureEditor.h"

namespace pictavo {

class TActionSettings final : public IPictureActionSettings, public IEditorSettings {
public:
    explicit TActionSettings(TOptionsPage& pages) : pages_(pages) {}

    bool AskBeforeRemoving() const override;
    bool ConfirmDeleteDisk() const override;
    void SetAskBeforeRemoving(bool ask) override;
    void SetConfirmDeleteDisk(bool ask) override;

    bool UseDefaultEditor() const override;
    std::string SelectedEditor() const override;
    void SetSelectedEditor(const std::string& program) override;

private:
    TOptionsPage& pages_;
};

}  // namespace pictavo
