#include "harness/OtherPrograms.h"

#include <vector>

namespace e2e {
namespace {

// The tools are built beside the test programs: <build>\tools, while a test
// program sits in <build>\tests\<suite>. The same whichever program is tested.
std::string StandInToolPath() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder = self;
    for (int up = 0; up < 3; ++up) folder = folder.substr(0, folder.find_last_of('\\'));
    return folder + "\\tools\\stand_in_window.exe";
}

}  // namespace

StandInWindow::StandInWindow(bool fullScreen)
    : process_("\"" + StandInToolPath() + "\"" + (fullScreen ? " fullscreen" : "")) {}

HWND StandInWindow::WaitForForeground(Duration deadline) {
    WaitFor(
        [&] {
            for (HWND hwnd : TopLevelWindows(process_.ProcessId())) {
                if (ClassOf(hwnd) == "StandInWindow" && ::IsWindowVisible(hwnd)) window_ = hwnd;
            }
            return window_ && ::GetForegroundWindow() == window_;
        },
        deadline);
    return window_ && ::GetForegroundWindow() == window_ ? window_ : nullptr;
}

bool StandInWindow::Close(Duration deadline) {
    ::PostMessageA(window_, WM_CLOSE, 0, 0);
    return process_.Ended(deadline);
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> input;
    for (WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        input.push_back(down);
    }
    for (size_t i = input.size(); i-- > 0;) {
        INPUT up = input[i];
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        input.push_back(up);
    }
    ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

bool HotKeyHeld(UINT modifiers, UINT key) {
    if (!::RegisterHotKey(nullptr, 0x6666, modifiers, key)) return true;
    ::UnregisterHotKey(nullptr, 0x6666);
    return false;
}

}  // namespace e2e
