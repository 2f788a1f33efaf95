#include "platform/Controls.h"

#include <commctrl.h>

#include "platform/Window.h"

namespace pictavo {

bool Checked(HWND button) { return ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND button, bool checked) {
    if (Checked(button) == checked) return;
    ::SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    ::SendMessageA(::GetParent(button), WM_COMMAND,
                   MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
}

int SpinPosition(HWND upDown) {
    return static_cast<int16_t>(::SendMessageA(upDown, UDM_GETPOS32, 0, 0));
}

void SetSpinPosition(HWND upDown, int position) {
    // Setting the same number again would raise the box's change notice for nothing.
    if (::SendMessageA(upDown, UDM_GETPOS32, 0, 0) == position) return;
    ::SendMessageA(upDown, UDM_SETPOS32, 0, position);
}

std::string ControlText(HWND control) { return WindowText(control); }

void SetControlText(HWND control, const std::string& text) {
    ::SetWindowTextA(control, text.c_str());
}

HWND ControlBuilder::Group(const std::string& caption, int x, int y, int w, int h) {
    return CreateControl(parent_, "BUTTON", caption, WS_VISIBLE | BS_GROUPBOX, x, y, w, h);
}

HWND ControlBuilder::Label(const std::string& caption, int x, int y, int w, int h) {
    return CreateControl(parent_, "STATIC", caption, WS_VISIBLE | SS_LEFT, x, y, w, h);
}

HWND ControlBuilder::Check(const std::string& caption, int id, int x, int y, int w, bool checked) {
    HWND box = CreateControl(parent_, "BUTTON", caption,
                             WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, x, y, w, 17, id);
    ::SendMessageA(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    return box;
}

HWND ControlBuilder::Radio(const std::string& caption, int id, int x, int y, int w, bool first,
                           bool checked) {
    HWND radio = CreateControl(parent_, "BUTTON", caption,
                               WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | (first ? WS_GROUP : 0),
                               x, y, w, 17, id);
    ::SendMessageA(radio, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    return radio;
}

HWND ControlBuilder::Edit(const std::string& text, int id, int x, int y, int w, int h) {
    return CreateControl(parent_, "EDIT", text, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, x, y, w,
                         h, id, WS_EX_CLIENTEDGE);
}

HWND ControlBuilder::Button(const std::string& caption, int id, int x, int y, int w, int h) {
    return CreateControl(parent_, "BUTTON", caption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, y,
                         w, h, id);
}

HWND ControlBuilder::Spin(HWND buddy, int id, int minimum, int maximum, int step, int position) {
    HWND spin = CreateControl(parent_, UPDOWN_CLASSA, "",
                              WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS |
                                  UDS_NOTHOUSANDS,
                              0, 0, 0, 0, id, 0, nullptr);
    ::SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    ::SendMessageA(spin, UDM_SETRANGE32, minimum, maximum);
    UDACCEL accel{0, static_cast<UINT>(step)};
    ::SendMessageA(spin, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    ::SendMessageA(spin, UDM_SETPOS32, 0, position);
    return spin;
}

HWND ControlBuilder::ListBox(int id, int x, int y, int w, int h) {
    return CreateControl(parent_, "LISTBOX", "", WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, x,
                         y, w, h, id, WS_EX_CLIENTEDGE);
}

}  // namespace pictavo
