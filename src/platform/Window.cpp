#include "platform/Window.h"

#include <map>
#include <stdexcept>
#include <set>
#include <utility>

#include "platform/Files.h"
#include "platform/Guard.h"

namespace pictavo {
namespace {
bool modalLoopsEnded = false;
}

void EndModalLoops() {
    modalLoopsEnded = true;
    // Message boxes and the system's file dialogs are dialogs of the thread:
    // ended as cancelled, their loops return once this message is handled.
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM) WINAPI -> BOOL {
            char name[16] = {};
            ::GetClassNameA(hwnd, name, sizeof(name));
            if (std::string(name) == "#32770") ::EndDialog(hwnd, IDCANCEL);
            return TRUE;
        },
        0);
    // Wakes a loop of ours waiting for its next message.
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

void AllowModalLoops() { modalLoopsEnded = false; }

bool ModalLoopsEnded() { return modalLoopsEnded; }

Window::~Window() {
    if (hwnd_) {
        HWND hwnd = hwnd_;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        ::DestroyWindow(hwnd);
    }
}

void Window::Create(const char* className, DWORD exStyle, DWORD style, const std::string& caption,
                    int x, int y, int width, int height, HWND parent, HICON icon) {
    static std::set<std::string> registered;
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    if (!registered.count(className)) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &Window::Proc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.hIcon = icon;
        wc.hIconSm = icon;
        wc.lpszClassName = className;
        if (!::RegisterClassExA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            throw std::runtime_error(std::string("Unable to register the window class ") +
                                     className + ": " + SystemErrorText(::GetLastError()));
        }
        registered.insert(className);
    }
    if (!::CreateWindowExA(exStyle, className, caption.c_str(), style, x, y, width, height, parent,
                           nullptr, instance, this)) {
        const DWORD error = ::GetLastError();
        hwnd_ = nullptr;
        throw std::runtime_error(std::string("Unable to create the window ") + className + ": " +
                                 SystemErrorText(error));
    }
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

bool Window::RunModal(HWND owner, HWND focus, const std::function<bool()>& done,
                      bool activateOwner) {
    if (modalLoopsEnded) return false;
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    struct Restore {
        Window& window;
        HWND owner;
        bool enableOwner, activateOwner;
        ~Restore() {
            if (enableOwner) ::EnableWindow(owner, TRUE);
            if (window.Handle()) ::ShowWindow(window.Handle(), SW_HIDE);
            if (enableOwner && activateOwner) ::SetForegroundWindow(owner);
        }
    } restore{*this, owner, ownerWasEnabled, activateOwner};
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    if (focus) ::SetFocus(focus);

    MSG msg;
    while (Handle() && !modalLoopsEnded) {
        if (done()) return true;
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // Leave the quit for the main loop.
            if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (::IsDialogMessageA(Handle(), &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return false;
}

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        LRESULT result = 0;
        Guarded([&] { result = self->HandleMessage(message, wParam, lParam); });
        self->hwnd_ = nullptr;
        return result;
    }
    LRESULT result = 0;
    Guarded([&] { result = self->HandleMessage(message, wParam, lParam); });
    return result;
}

TPanel::TPanel(HWND parent, const RECT& area, const std::string& name, bool visible) {
    Create("TPanel", WS_EX_CONTROLPARENT, WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0),
           name, area.left, area.top, area.right - area.left, area.bottom - area.top, parent);
}

LRESULT TPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_HSCROLL:
        case WM_VSCROLL:
            return ::SendMessageA(::GetParent(Handle()), message, wParam, lParam);
    }
    return Window::HandleMessage(message, wParam, lParam);
}

HFONT StandardFont(int height, bool bold) {
    static std::map<std::pair<int, bool>, HFONT> fonts;
    auto key = std::make_pair(height, bold);
    auto it = fonts.find(key);
    if (it != fonts.end()) return it->second;
    HFONT font = ::CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
    fonts[key] = font;
    return font;
}

HWND CreateControl(HWND parent, const char* className, const std::string& text, DWORD style, int x,
                   int y, int width, int height, int id, DWORD exStyle, HFONT font) {
    HWND hwnd = ::CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | style, x, y, width,
                                  height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  ::GetModuleHandleA(nullptr), nullptr);
    if (hwnd && font) ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
}

std::string WindowText(HWND hwnd) {
    int n = ::GetWindowTextLengthA(hwnd);
    std::string text(n + 1, '\0');
    n = ::GetWindowTextA(hwnd, text.data(), n + 1);
    text.resize(n);
    return text;
}

SIZE WindowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle) {
    RECT r{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

POINT CenteredOnScreen(int width, int height) {
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return POINT{work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2};
}

}  // namespace pictavo
