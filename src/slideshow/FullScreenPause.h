#pragma once
// Whether a tick of the slideshow passes because a full-screen program has
// the screen: a game, a video or a presentation would lose frames, or see the
// desktop flash, when the wallpaper changes under it.
#include <functional>
#include <optional>
#include <string>

namespace pictavo {

// The answers of the shell's SHQueryUserNotificationState that matter here.
enum UserNotificationState : int {
    kNotificationBusy = 2,            // a full-screen program runs
    kNotificationD3DFullScreen = 3,   // a Direct3D program runs full screen
    kNotificationPresentation = 4,    // presentation settings are on
    kNotificationAccepts = 5,         // none of these
};

enum class TickPass { None, FullScreen, Direct3D, Presentation, FullScreenWindow };

// The probes are asked only as far as the answer needs them. notificationState
// gives nothing where the call is missing (before Windows Vista) or fails;
// then, and for any state that names no full-screen program, the foreground
// window decides: another program's window that fills its whole monitor.
// Some systems (Wine) answer "accepts notifications" whatever runs, so that
// answer does not settle it either; on Windows the two agree.
TickPass FullScreenTickPass(bool pauseWhileFullScreen,
                            const std::function<std::optional<int>()>& notificationState,
                            const std::function<bool()>& foregroundFillsMonitor);

// The trace line of a tick that passed.
std::string TickPassTrace(TickPass pass);

struct ScreenRect {
    long left = 0, top = 0, right = 0, bottom = 0;
};

// A window's client area, in screen co-ordinates, covers the whole monitor. A
// maximized window with a caption does not: its caption and borders are what
// lies beyond the client area.
bool FillsMonitor(const ScreenRect& client, const ScreenRect& monitor);

}  // namespace pictavo
