#include "app/SettingsPage.h"

#include <commctrl.h>

namespace pictavo {

LRESULT TSettingsPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) {
                return 0;
            }
            // Nothing above the page handles its controls.
            return Window::HandleMessage(message, wParam, lParam);
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (header.code == UDN_DELTAPOS) {
                // An arrow click puts the focus into the box beside it, so the
                // change handlers see the user at work.
                HWND buddy =
                    reinterpret_cast<HWND>(::SendMessageA(header.hwndFrom, UDM_GETBUDDY, 0, 0));
                if (buddy) ::SetFocus(buddy);
                return 0;  // let the spinner move
            }
            return Window::HandleMessage(message, wParam, lParam);
        }
    }
    return TPanel::HandleMessage(message, wParam, lParam);
}

}  // namespace pictavo
