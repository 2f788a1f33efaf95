#pragma once
// A reusable notification-area icon: one icon with a tip; a right-click opens
// a popup menu at the pointer, a double-click runs the menu's default item and
// raises OnDblClick. Its own invisible 20 by 20 window, owned by the owner
// window, receives the shell's notices. The icon comes back when the shell's
// taskbar is re-created.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Window.h"
#include "shell/PopupMenu.h"

namespace pictavo {

// The shell's tray call, behind an interface so that unit tests can watch it.
class IShellNotify {
public:
    virtual ~IShellNotify() = default;
    virtual bool NotifyIcon(DWORD message, const NOTIFYICONDATAA& data) = 0;
};
IShellNotify& SystemShellNotify();

class TTrayIcon : public Window {
public:
    static constexpr size_t kMaxHint = 63;
    using Event = std::function<void(const void* sender)>;

    TTrayIcon(HWND owner, IShellNotify& shell = SystemShellNotify());
    ~TTrayIcon() override;  // removes the icon

    // Published properties, in their designed order.
    bool CanShowMenu() const { return canShowMenu_; }
    void SetCanShowMenu(bool value) { canShowMenu_ = value; }
    const void* Icon = nullptr;  // stored only: the shell always gets the application's icon
    TPopupMenu* PopupMenu = nullptr;
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    uint16_t WM_Offset = 1;
    uint16_t IconID = 1;
    Event OnDblClick;
    bool Active() const { return active_; }
    void SetActive(bool active);
    Event BeforePopup;

    // After the owner has set the stored properties: adds the icon when active.
    void Loaded();
    bool Added() const { return added_; }
    UINT CallbackMessage() const { return WM_USER + WM_Offset; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    NOTIFYICONDATAA Record() const;
    void ShowIcon();
    void RemoveIcon();
    void Trace(const std::string& text);

    IShellNotify& shell_;
    bool canShowMenu_ = true;
    std::string hint_;
    std::string lastHintGiven_;
    bool active_ = false;
    bool loaded_ = false;
    bool added_ = false;
    // A call failed that the shell may have carried out: the icon may be there.
    bool uncertain_ = false;
    UINT taskbarCreated_ = 0;
};

}  // namespace pictavo
