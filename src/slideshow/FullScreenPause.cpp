#include "slideshow/FullScreenPause.h"

namespace pictavo {

TickPass FullScreenTickPass(bool pauseWhileFullScreen,
                            const std::function<std::optional<int>()>& notificationState,
                            const std::function<bool()>& foregroundFillsMonitor) {
    if (!pauseWhileFullScreen) return TickPass::None;
    if (const std::optional<int> state = notificationState()) {
        switch (*state) {
            case kNotificationBusy:
                return TickPass::FullScreen;
            case kNotificationD3DFullScreen:
                return TickPass::Direct3D;
            case kNotificationPresentation:
                return TickPass::Presentation;
        }
    }
    return foregroundFillsMonitor() ? TickPass::FullScreenWindow : TickPass::None;
}

std::string TickPassTrace(TickPass pass) {
    const char* why = "";
    switch (pass) {
        case TickPass::None:
            return "";
        case TickPass::FullScreen:
            why = "a full-screen program runs";
            break;
        case TickPass::Direct3D:
            why = "a Direct3D program runs full screen";
            break;
        case TickPass::Presentation:
            why = "presentation settings are on";
            break;
        case TickPass::FullScreenWindow:
            why = "another program's window fills the screen";
            break;
    }
    return std::string("SlideShow.tmrSlideTimer: Tick passed, ") + why;
}

bool FillsMonitor(const ScreenRect& client, const ScreenRect& monitor) {
    // An empty monitor (a failed query) is filled by nothing.
    if (monitor.right <= monitor.left || monitor.bottom <= monitor.top) return false;
    return client.left <= monitor.left && client.top <= monitor.top &&
           client.right >= monitor.right && client.bottom >= monitor.bottom;
}

}  // namespace pictavo
