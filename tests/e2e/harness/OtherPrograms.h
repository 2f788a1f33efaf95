#pragma once
// What other programs do around the program under test: a window of another
// process in front of the desktop, keys pressed on the keyboard, hot keys held.
#include <windows.h>

#include <initializer_list>
#include <string>

#include "harness/Harness.h"

namespace e2e {

// Another program's window in front of the desktop (tools\stand_in_window.exe
// of the test build): full screen, or an ordinary captioned one. Killed at the
// end of the test if still running.
class StandInWindow {
public:
    explicit StandInWindow(bool fullScreen);
    bool Started() const { return process_.Started(); }
    // Its window, once it shows and has the foreground; null when it did not in time.
    HWND WaitForForeground(Duration deadline = kDeadline);
    // Asks it to close; whether it ended in time.
    bool Close(Duration deadline = kDeadline);

private:
    ChildProcess process_;
    HWND window_ = nullptr;
};

// Presses the keys together and lets them go, as the keyboard would.
void PressKeys(std::initializer_list<WORD> keys);

// Whether some program holds the hot key: it cannot be registered again.
bool HotKeyHeld(UINT modifiers, UINT key);

}  // namespace e2e
