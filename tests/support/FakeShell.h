#pragma once
// The shell's tray call, recorded and answered as scripted.
#include <vector>

#include "shell/TrayIcon.h"

namespace pictavo::testing {

struct FakeShell : IShellNotify {
    struct Call {
        DWORD message;
        NOTIFYICONDATAA data;
    };
    std::vector<Call> calls;
    bool succeed = true;
    bool NotifyIcon(DWORD message, const NOTIFYICONDATAA& data) override {
        calls.push_back({message, data});
        return succeed;
    }
    std::vector<DWORD> Messages() const {
        std::vector<DWORD> m;
        for (const Call& c : calls) m.push_back(c.message);
        return m;
    }
};

}  // namespace pictavo::testing
