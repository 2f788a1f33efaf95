#include "shell/PopupMenu.h"

namespace pictavo {

size_t TPopupMenu::Add(Item item) {
    if (item.submenu) submenus_.emplace_back(item.submenu);
    items_.push_back(std::move(item));
    return items_.size() - 1;
}

void TPopupMenu::TrackAndRun(TPopupMenu& menu, HWND owner, POINT at) {
    UniqueMenu popup(::CreatePopupMenu());
    for (size_t i = 0; i < menu.items_.size(); ++i) {
        const Item& item = menu.items_[i];
        if (item.caption.empty()) {
            ::AppendMenuA(popup.Get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED) |
                     (item.checked ? MF_CHECKED : MF_UNCHECKED);
        UINT_PTR id = i + 1;
        if (item.submenu) {
            flags |= MF_POPUP;
            id = reinterpret_cast<UINT_PTR>(item.submenu);
        }
        ::AppendMenuA(popup.Get(), flags, id, item.caption.c_str());
        if (item.isDefault) ::SetMenuDefaultItem(popup.Get(), static_cast<UINT>(i), TRUE);
    }
    UINT chosen = ::TrackPopupMenuEx(popup.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y,
                                     owner, nullptr);
    // Submenus stay with their owner, not with this temporary menu.
    for (const Item& item : menu.items_) {
        if (item.submenu) {
            for (int i = ::GetMenuItemCount(popup.Get()) - 1; i >= 0; --i) {
                if (::GetSubMenu(popup.Get(), i) == item.submenu) {
                    ::RemoveMenu(popup.Get(), i, MF_BYPOSITION);
                }
            }
        }
    }
    ::PostMessageA(owner, WM_NULL, 0, 0);  // lets the menu close properly
    if (chosen >= 1 && chosen <= menu.items_.size()) {
        const Item& item = menu.items_[chosen - 1];
        if (item.onClick) item.onClick(&menu);
    } else if (chosen != 0 && menu.SubmenuCommand) {
        menu.SubmenuCommand(chosen);
    }
}

}  // namespace pictavo
