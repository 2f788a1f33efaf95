#pragma once
// The question before a picture leaves the list or its file the disk: the
// picture's name, folder, size and date, OK and Cancel, and "&Don't show this
// message again.", which turns the question's option off at once.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "pictures/Confirmation.h"
#include "platform/Window.h"

namespace pictavo {

class TfrmConfirmation : public Window {
public:
    static constexpr int kFontHeight = -11;

    // The owner is disabled while the dialog is shown.
    TfrmConfirmation(HWND owner, const InventoryRecord& record);
    ~TfrmConfirmation() override;

    // Bound to an option for the dialog's life: each click on the box hands
    // its new state over.
    std::function<void(bool dontShowAgain)> OnDontShowAgain;

    // Unticks "&Don't show this message again." and shows the dialog until OK,
    // Cancel or its close button; true for OK.
    bool ShowModal();

    HWND lblQuestion = nullptr;
    HWND lblName = nullptr, lblFolder = nullptr, lblSize = nullptr, lblModified = nullptr;
    HWND edtName = nullptr, edtFolder = nullptr, edtSize = nullptr, edtModified = nullptr;
    HWND chkDontShowAgain = nullptr;
    HWND btnOK = nullptr, btnCancel = nullptr;

    void chkDontShowAgainClick();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND ValueField(const std::string& text, int y, int id);

    HWND owner_;
    int result_ = 0;
    // One tooltip per value field, so each can be switched off alone.
    HWND tips_[4] = {};
};

// Asks with a new TfrmConfirmation each time; scale is applied to each one
// as it is made, as to every form.
class TConfirmationDialogs final : public IConfirmationDialog {
public:
    explicit TConfirmationDialogs(std::function<void(HWND)> scale) : scale_(std::move(scale)) {}
    bool Ask(HWND owner, const ConfirmationQuestion& question,
             const std::function<void(bool)>& chkDontShowAgainClick) override;

private:
    std::function<void(HWND)> scale_;
};

// "###,###,##0": a size in bytes with thousands separators.
std::string FormatThousands(long long value);

}  // namespace pictavo
