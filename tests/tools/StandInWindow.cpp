// A stand-in for another program's window in front of the desktop: with the
// argument "fullscreen", a borderless window over the whole primary monitor,
// as a game or a video player shows; otherwise an ordinary captioned window.
// It takes the foreground and stays until it is closed.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const bool fullScreen = __argc > 1 && std::strcmp(__argv[1], "fullscreen") == 0;
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "StandInWindow";
    ::RegisterClassA(&wc);

    HWND window = nullptr;
    if (fullScreen) {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        ::GetMonitorInfoA(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
        const RECT& r = info.rcMonitor;
        window = ::CreateWindowExA(WS_EX_TOPMOST, "StandInWindow", "Full screen stand-in",
                                   WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    } else {
        window = ::CreateWindowExA(0, "StandInWindow", "Stand-in", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   100, 100, 300, 200, nullptr, nullptr, instance, nullptr);
    }
    if (!window) return 1;
    ::SetForegroundWindow(window);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
