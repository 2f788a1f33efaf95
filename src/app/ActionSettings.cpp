#include "app/ActionSettings.h"

#include "platform/Controls.h"

namespace pictavo {

bool TActionSettings::AskBeforeRemoving() const { return Checked(pages_.chkAskBeforeRemoving); }

bool TActionSettings::ConfirmDeleteDisk() const { return Checked(pages_.chkConfirmDeleteDisk); }

void TActionSettings::SetAskBeforeRemoving(bool ask) {
    SetChecked(pages_.chkAskBeforeRemoving, ask);
}

void TActionSettings::SetConfirmDeleteDisk(bool ask) {
    SetChecked(pages_.chkConfirmDeleteDisk, ask);
}

bool TActionSettings::UseDefaultEditor() const { return Checked(pages_.rdoDefaultEditor); }

std::string TActionSettings::SelectedEditor() const {
    return ControlText(pages_.edtSelectedEditor);
}

void TActionSettings::SetSelectedEditor(const std::string& program) {
    SetControlText(pages_.edtSelectedEditor, program);
}

}  // namespace pictavo
