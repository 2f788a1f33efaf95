#include "slideshow/FullScreenProbe.h"

#include <cstring>

#include "slideshow/FullScreenPause.h"

namespace pictavo {

TSystemFullScreenProbe::TSystemFullScreenProbe() {
    HMODULE shell = ::GetModuleHandleA("shell32.dll");
    if (!shell) shell = ::LoadLibraryA("shell32.dll");  // kept for the life of the process
    if (shell) {
        // Through void*: FARPROC names no signature of its own.
        queryState_ = reinterpret_cast<QueryState>(
            reinterpret_cast<void*>(::GetProcAddress(shell, "SHQueryUserNotificationState")));
    }
}

std::optional<int> TSystemFullScreenProbe::NotificationState() {
    if (!queryState_) return std::nullopt;
    int state = 0;
    if (FAILED(queryState_(&state))) return std::nullopt;
    return state;
}

bool TSystemFullScreenProbe::IsShellDesktop(HWND window) {
    if (window == ::GetShellWindow() || window == ::GetDesktopWindow()) return true;
    char className[32] = {};
    ::GetClassNameA(window, className, sizeof(className));
    return std::strcmp(className, "Progman") == 0 || std::strcmp(className, "WorkerW") == 0;
}

bool TSystemFullScreenProbe::ForegroundFillsMonitor() {
    return IsFullScreenProgram(::GetForegroundWindow());
}

bool TSystemFullScreenProbe::IsFullScreenProgram(HWND window) {
    if (!window || !::IsWindowVisible(window) || ::IsIconic(window)) return false;
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    // Our own windows (the splash, a box) are never a reason to wait.
    if (process == ::GetCurrentProcessId() || IsShellDesktop(window)) return false;
    return FillsItsMonitor(window);
}

bool TSystemFullScreenProbe::FillsItsMonitor(HWND window) {
    HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONULL);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!monitor || !::GetMonitorInfoA(monitor, &info)) return false;
    RECT client{};
    if (!::GetClientRect(window, &client)) return false;
    POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
    ::MapWindowPoints(window, nullptr, corners, 2);
    return FillsMonitor({corners[0].x, corners[0].y, corners[1].x, corners[1].y},
                        {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                         info.rcMonitor.bottom});
}

}  // namespace pictavo
