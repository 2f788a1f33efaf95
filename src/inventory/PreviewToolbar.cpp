#include "inventory/PreviewToolbar.h"

#include "platform/Window.h"

namespace pictavo {
namespace {
constexpr int kButtonSize = 25;
}  // namespace

TPreviewToolbar::TPreviewToolbar(HWND page, int top, TPictureAdder& adder) : adder_(adder) {
    RECT area{};
    ::GetClientRect(page, &area);
    tbrMainToolbar = CreateControl(page, TOOLBARCLASSNAMEA, "",
                                   WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                       CCS_NORESIZE | CCS_NOPARENTALIGN,
                                   4, top, area.right - 8, kButtonSize + 4);
    ::SendMessageA(tbrMainToolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(tbrMainToolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
    ::SendMessageA(tbrMainToolbar, TB_LOADIMAGES, IDB_STD_SMALL_COLOR,
                   reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    ::SendMessageA(tbrMainToolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(kButtonSize, kButtonSize));
    TBBUTTON buttons[] = {
        {STD_FILEOPEN, idAddFiles, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    };
    ::SendMessageA(tbrMainToolbar, TB_ADDBUTTONS, sizeof(buttons) / sizeof(buttons[0]),
                   reinterpret_cast<LPARAM>(buttons));
}

bool TPreviewToolbar::OnCommand(int id, int code) {
    if (id != idAddFiles || (code != BN_CLICKED && code != 0)) return false;
    tbnAddFilesClick();
    return true;
}

bool TPreviewToolbar::OnNotify(NMHDR& header) {
    if (header.code != TTN_GETDISPINFOA) return false;
    auto& info = reinterpret_cast<NMTTDISPINFOA&>(header);
    if (info.hdr.idFrom != idAddFiles) return false;
    info.lpszText = const_cast<char*>(hints_ ? "Add files to list" : "");
    return true;
}

}  // namespace pictavo
