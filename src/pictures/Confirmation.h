#pragma once
// The question Remove and Delete ask before they act: the real one is the
// dialog TfrmConfirmation, made afresh for each question; unit tests answer it
// from a script.
#include <windows.h>

#include <functional>
#include <string>

#include "inventory/InventoryTable.h"

namespace pictavo {

struct ConfirmationQuestion {
    std::string title;       // "Remove File" or "Delete File"
    std::string question;    // lblQuestion
    InventoryRecord record;  // the picture asked about, as it was when asked
};

class IConfirmationDialog {
public:
    virtual ~IConfirmationDialog() = default;
    // Shows the question modally with "&Don't show this message again."
    // unticked; each click on that box calls chkDontShowAgainClick with its new
    // state at once. True when the user confirmed (OK).
    virtual bool Ask(HWND owner, const ConfirmationQuestion& question,
                     const std::function<void(bool dontShowAgain)>& chkDontShowAgainClick) = 0;
};

}  // namespace pictavo
