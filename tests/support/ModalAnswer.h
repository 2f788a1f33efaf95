#pragma once
// Answers a modal window of the test's own thread from inside its message
// loop: a timer looks for the window and, once it shows, acts on it once, as
// a user's clicks would arrive.
#include <windows.h>

#include <functional>
#include <string>

namespace pictavo::testing {

class ModalAnswer {
public:
    ModalAnswer(std::string className, std::function<void(HWND)> action) {
        Current() = {std::move(className), std::move(action)};
        timer_ = ::SetTimer(nullptr, 0, 20, &ModalAnswer::Tick);
    }
    ~ModalAnswer() {
        if (timer_) ::KillTimer(nullptr, timer_);
        Current() = {};
    }
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

    bool Answered() const { return !Current().action; }

private:
    struct Pending {
        std::string className;
        std::function<void(HWND)> action;
    };
    static Pending& Current() {
        static Pending pending;
        return pending;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Pending& pending = Current();
        if (!pending.action) return;
        HWND window = ::FindWindowA(pending.className.c_str(), nullptr);
        if (!window || !::IsWindowVisible(window)) return;
        auto action = std::move(pending.action);
        pending.action = nullptr;
        action(window);
    }

    UINT_PTR timer_ = 0;
};

}  // namespace pictavo::testing
