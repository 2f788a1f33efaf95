// A stand-in for a Pictavo that takes its time to end: it keeps a hidden
// "TFrmMain" window, and when asked to end with the registered message
// "ShutdownPictavo" it closes that window at once but lives on for a few
// seconds, as a program still writing its files on the way out would.
// Whoever waits for the window alone and then replaces or deletes the program
// file finds the file still in use.
#include <windows.h>

namespace {

UINT shutdownMessage = 0;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == shutdownMessage && shutdownMessage != 0) {
        ::DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    shutdownMessage = ::RegisterWindowMessageA("ShutdownPictavo");
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "TFrmMain";
    if (!::RegisterClassA(&windowClass)) return 1;
    if (!::CreateWindowExA(0, "TFrmMain", "Pictavo", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                           nullptr, instance, nullptr)) {
        return 1;
    }
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    ::Sleep(3000);
    return 0;
}
