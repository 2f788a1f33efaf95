#include "shell/TrayIcon.h"

#include "platform/Trace.h"
#include "resource.h"

namespace pictavo {
namespace {

class ShellNotify final : public IShellNotify {
public:
    bool NotifyIcon(DWORD message, const NOTIFYICONDATAA& data) override {
        NOTIFYICONDATAA copy = data;
        return ::Shell_NotifyIconA(message, &copy) != FALSE;
    }
};

}  // namespace

IShellNotify& SystemShellNotify() {
    static ShellNotify shell;
    return shell;
}

TTrayIcon::TTrayIcon(HWND owner, IShellNotify& shell) : shell_(shell) {
    // A restarted shell announces its new taskbar with this message, sent to
    // top-level windows only. So the window is a top-level one owned by the
    // owner, not its child: it hears the message itself, whatever its owner
    // does with messages. Never visible.
    taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");
    Create("TTrayIcon", WS_EX_TOOLWINDOW, WS_POPUP, "TrayIcon", 0, 0, 20, 20, owner);
}

TTrayIcon::~TTrayIcon() { RemoveIcon(); }

void TTrayIcon::Trace(const std::string& text) { SendTrace(text, Handle()); }

NOTIFYICONDATAA TTrayIcon::Record() const {
    NOTIFYICONDATAA data{};
    // The original record (88 bytes in a 32-bit program), understood by every shell.
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88);
    data.hWnd = Handle();
    data.uID = IconID;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = CallbackMessage();
    data.hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PICTAVO));
    lstrcpynA(data.szTip, hint_.c_str(), kMaxHint + 1);
    return data;
}

void TTrayIcon::ShowIcon() {
    const NOTIFYICONDATAA record = Record();
    // A shell busy at logon can time a call out and carry it out all the
    // same: after a failed call the icon may be there or not. A change is
    // tried before an add, for an add of an icon the shell holds fails every time.
    if ((added_ || uncertain_) && shell_.NotifyIcon(NIM_MODIFY, record)) {
        added_ = true;
        uncertain_ = false;
        return;
    }
    added_ = shell_.NotifyIcon(NIM_ADD, record);
    uncertain_ = !added_;
}

void TTrayIcon::RemoveIcon() {
    if (shell_.NotifyIcon(NIM_DELETE, Record())) added_ = uncertain_ = false;
}

void TTrayIcon::Loaded() {
    loaded_ = true;
    if (active_) ShowIcon();
}

void TTrayIcon::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (!loaded_) return;
    if (active_) {
        ShowIcon();
    } else {
        RemoveIcon();
    }
}

void TTrayIcon::SetHint(const std::string& hint) {
    // Compared before it is cut: a long text given again updates once more.
    if (hint == lastHintGiven_ && hint.size() <= kMaxHint) return;
    lastHintGiven_ = hint;
    hint_ = hint.substr(0, kMaxHint);
    if (active_ && loaded_) ShowIcon();
}

LRESULT TTrayIcon::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        // The new taskbar knows no icons: add ours again with its present tip.
        added_ = uncertain_ = false;
        if (active_ && loaded_) ShowIcon();
    } else if (message == CallbackMessage()) {
        switch (lParam) {
            case WM_LBUTTONDBLCLK:
                Trace("TrayIcon: WndProc WM_LBUTTONDBLCLK");
                if (PopupMenu) {
                    // The enabled state is not looked at: the default runs while greyed too.
                    for (const TPopupMenu::Item& item : PopupMenu->Items()) {
                        if (!item.isDefault) continue;
                        if (item.onClick) item.onClick(PopupMenu);
                        break;
                    }
                }
                if (OnDblClick) OnDblClick(this);
                break;
            case WM_RBUTTONUP: {
                Trace("TrayIcon: WndProc WM_RBUTTONUP");
                if (!PopupMenu) break;
                for (TPopupMenu::Item& item : PopupMenu->Items()) item.enabled = canShowMenu_;
                if (canShowMenu_ && BeforePopup) BeforePopup(this);
                POINT at{};
                ::GetCursorPos(&at);
                // So that the menu closes when the user clicks elsewhere.
                ::SetForegroundWindow(Handle());
                PopupMenu->Popup(*PopupMenu, Handle(), at);
                break;
            }
            default:
                Trace("TrayIcon: WndProc ELSE msg=" + std::to_string(message));
                break;
        }
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace pictavo
