#pragma once
// Message boxes go through this interface so that unit tests can script the
// answers. The real one is MessageBoxA with the application's title.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "platform/Window.h"

namespace pictavo {

class IPrompts {
public:
    virtual ~IPrompts() = default;
    // Shows a message box; returns the button pressed (IDOK, IDYES, ...).
    virtual int Show(HWND owner, const std::string& text, UINT type) = 0;

    void Message(HWND owner, const std::string& text) { Show(owner, text, MB_OK); }
    // A question in which only Yes goes ahead.
    bool Confirm(HWND owner, const std::string& text, UINT buttons = MB_YESNO) {
        return Show(owner, text, buttons | MB_ICONQUESTION) == IDYES;
    }
};

// The answer of a box closed without a choice: Cancel where there is one,
// otherwise No, Abort or OK. Never the answer that goes ahead.
inline int CancelAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_YESNO:
            return IDNO;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        case MB_OK:
            return IDOK;
        default:
            return IDCANCEL;
    }
}

// Passes boxes on while someone may be there to answer them. While the
// program ends on another's behalf (the end of the session, a program asking
// it to end) no one is: a box would hold that up, so its text goes to
// `unattended` instead and it counts as cancelled.
class TAttendedPrompts final : public IPrompts {
public:
    TAttendedPrompts(IPrompts& inner, std::function<void(const std::string&)> unattended)
        : inner_(inner), onUnattended_(std::move(unattended)) {}
    void SetUnattended(bool unattended) { unattended_ = unattended; }
    bool Unattended() const { return unattended_; }
    int Show(HWND owner, const std::string& text, UINT type) override {
        if (!unattended_) return inner_.Show(owner, text, type);
        if (onUnattended_) onUnattended_(text);
        return CancelAnswer(type);
    }

private:
    IPrompts& inner_;
    std::function<void(const std::string&)> onUnattended_;
    bool unattended_ = false;
};

class WinPrompts final : public IPrompts {
public:
    explicit WinPrompts(std::string caption) : caption_(std::move(caption)) {}
    int Show(HWND owner, const std::string& text, UINT type) override {
        if (ModalLoopsEnded()) return CancelAnswer(type);
        return ::MessageBoxA(owner, text.c_str(), caption_.c_str(), type | MB_TASKMODAL);
    }

private:
    std::string caption_;
};

}  // namespace pictavo
