#pragma once
// Message boxes go through this interface so that unit tests can script the
// answers. The real one is MessageBoxA with the application's title.
#include <windows.h>

#include <string>

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

class WinPrompts final : public IPrompts {
public:
    explicit WinPrompts(std::string caption) : caption_(std::move(caption)) {}
    int Show(HWND owner, const std::string& text, UINT type) override {
        return ::MessageBoxA(owner, text.c_str(), caption_.c_str(), type | MB_TASKMODAL);
    }

private:
    std::string caption_;
};

}  // namespace pictavo
