#pragma once
// The notification-area icon. Until it shows an icon, it only keeps the state
// that the rest of the program already sets.
#include <string>

namespace pictavo {

class TTrayIcon {
public:
    bool CanShowMenu() const { return canShowMenu_; }
    void SetCanShowMenu(bool value) { canShowMenu_ = value; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }

private:
    bool canShowMenu_ = false;
    std::string hint_ = "Loading Pictavo...";
};

}  // namespace pictavo
