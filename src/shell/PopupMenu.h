#pragma once
// A popup menu whose top-level items carry a caption, an enabled state, a
// default mark, a check mark and a click action, opened at a screen position.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Handles.h"

namespace pictavo {

class TPopupMenu {
public:
    struct Item {
        std::string caption;  // empty: a separator
        bool enabled = true;
        bool isDefault = false;
        bool checked = false;
        std::function<void(const void* sender)> onClick;
        HMENU submenu = nullptr;  // owned by the menu once added
    };

    TPopupMenu() = default;
    TPopupMenu(const TPopupMenu&) = delete;
    TPopupMenu& operator=(const TPopupMenu&) = delete;

    // Returns the item's index.
    size_t Add(Item item);
    std::vector<Item>& Items() { return items_; }
    const std::vector<Item>& Items() const { return items_; }

    // Opens the menu at a screen position for the owner window and runs the
    // chosen item's action. Replaceable, so tests need not block in a real menu.
    std::function<void(TPopupMenu& menu, HWND owner, POINT at)> Popup = &TPopupMenu::TrackAndRun;

    // Runs a command chosen in a submenu (submenus carry their own command numbers).
    std::function<void(UINT command)> SubmenuCommand;

    // The real popup: builds the system menu from the items and tracks it.
    static void TrackAndRun(TPopupMenu& menu, HWND owner, POINT at);

private:
    std::vector<Item> items_;
    std::vector<UniqueMenu> submenus_;
};

}  // namespace pictavo
