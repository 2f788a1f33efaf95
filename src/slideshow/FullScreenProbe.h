#pragma once
// What the system says about a full-screen program, asked afresh at each
// tick of the slideshow. Unit tests stand in for it.
#include <windows.h>

#include <optional>

namespace pictavo {

class IFullScreenProbe {
public:
    virtual ~IFullScreenProbe() = default;
    // The shell's notification state; nothing where the call is missing or fails.
    virtual std::optional<int> NotificationState() = 0;
    // The foreground window belongs to another program, is not the shell's
    // desktop, and its client area covers its whole monitor.
    virtual bool ForegroundFillsMonitor() = 0;
};

class TSystemFullScreenProbe final : public IFullScreenProbe {
public:
    // Looks up SHQueryUserNotificationState once: Windows XP has none.
    TSystemFullScreenProbe();
    std::optional<int> NotificationState() override;
    bool ForegroundFillsMonitor() override;

    // Another program's window, not the shell's desktop, whose client area
    // covers its whole monitor: what a game, a video or a presentation shows.
    static bool IsFullScreenProgram(HWND window);
    static bool FillsItsMonitor(HWND window);
    // Whether the window is the shell's desktop (which fills the screen, and
    // is in front when nothing else is).
    static bool IsShellDesktop(HWND window);

private:
    using QueryState = HRESULT(WINAPI*)(int*);
    QueryState queryState_ = nullptr;
};

}  // namespace pictavo
