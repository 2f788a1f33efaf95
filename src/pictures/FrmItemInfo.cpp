#include "pictures/FrmItemInfo.h"

#include "platform/Controls.h"

namespace pictavo {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle =
    WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 346;
constexpr int kClientHeight = 236;
// Asks the dialog to come to the front again, once the activation change it
// answers has settled; wParam: sound the information beep.
constexpr UINT WM_BRING_TO_FRONT = WM_APP + 1;

enum ControlId {
    idFileName = 300,
    idTiled,
    idCenter,
    idLeave,
    idMove,
    idCopy,
    idApplyToAll,
};

}  // namespace

TfrmItemInfo::TfrmItemInfo(HWND owner) : owner_(owner) {
    SIZE size = WindowSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle);
    POINT at = CenteredOnScreen(size.cx, size.cy);
    Create("TfrmItemInfo", kExStyle, kStyle, "Add Wallpaper", at.x, at.y, size.cx, size.cy, owner);
    HWND self = Handle();
    ControlBuilder b(self);
    lblFromFolder = b.Label("From:", 10, 14, 44);
    // Shown like a label, but its text can be selected and scrolled.
    edtFromDir =
        CreateControl(self, "EDIT", "", WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL, 60, 14, 276, 16);
    Label2 = b.Label("Name:", 10, 42, 44);
    edtFileName =
        CreateControl(self, "EDIT", "", WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, 60, 38,
                      236, 21, idFileName, WS_EX_CLIENTEDGE);
    Label1 = b.Label(".bmp", 300, 42, 36);
    Label3 = b.Label("Display:", 10, 70, 44);
    rdoTiled = b.Radio("&Tile", idTiled, 60, 68, 70, true, true);
    rdoCenter = b.Radio("&Center", idCenter, 136, 68, 80, false, false);
    gbxCopyMode = b.Group(" Copy Option ", 10, 94, 326, 84);
    rdoLeave = b.Radio("&Leave the file in its current folder", idLeave, 22, 112, 300, true, true);
    rdoMove = b.Radio("&Move the file to Pictavo's own folder", idMove, 22, 132, 300, false, false);
    rdoCopy =
        b.Radio("Make a &copy of the file in Pictavo's folder", idCopy, 22, 152, 300, false, false);
    chkApplyToAll = CreateControl(self, "BUTTON", "&Apply these options to all remaining files.",
                                  WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 10, 186,
                                  326, 17, idApplyToAll);
    btnOK =
        CreateControl(self, "BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON,
                      180, 206, 75, 25, IDOK);
    btnCancel = CreateControl(self, "BUTTON", "Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                              261, 206, 75, 25, IDCANCEL);
}

void TfrmItemInfo::Load(const WallpaperOptionsState& state) {
    ::SetWindowTextA(Handle(), state.caption.c_str());
    SetControlText(edtFromDir, state.fromDir);
    SetControlText(edtFileName, state.fileName);
    SetControlText(Label1, state.extension);
    ::SendMessageA(rdoTiled, BM_SETCHECK, state.tile ? BST_CHECKED : BST_UNCHECKED, 0);
    ::SendMessageA(rdoCenter, BM_SETCHECK, state.tile ? BST_UNCHECKED : BST_CHECKED, 0);
    ::EnableWindow(rdoTiled, state.tileChoiceEnabled);
    ::EnableWindow(rdoCenter, state.tileChoiceEnabled);
    ::EnableWindow(gbxCopyMode, state.copyModeEnabled);
    const struct {
        HWND radio;
        uint8_t option;
    } options[] = {{rdoLeave, kOptionLeave}, {rdoMove, kOptionMove}, {rdoCopy, kOptionCopy}};
    for (const auto& o : options) {
        ::SendMessageA(o.radio, BM_SETCHECK, state.option == o.option ? BST_CHECKED : BST_UNCHECKED,
                       0);
        ::EnableWindow(o.radio, state.copyModeEnabled && (state.enabledOptions & o.option));
    }
    ::SendMessageA(chkApplyToAll, BM_SETCHECK, state.applyToAll ? BST_CHECKED : BST_UNCHECKED, 0);
    ::EnableWindow(chkApplyToAll, state.applyToAllEnabled);
}

void TfrmItemInfo::Read(WallpaperOptionsState& state) const {
    state.fileName = ControlText(edtFileName);
    state.tile = Checked(rdoTiled);
    if (Checked(rdoLeave)) state.option = kOptionLeave;
    if (Checked(rdoMove)) state.option = kOptionMove;
    if (Checked(rdoCopy)) state.option = kOptionCopy;
    state.applyToAll = Checked(chkApplyToAll);
}

bool TfrmItemInfo::ShowModal(WallpaperOptionsState& state) {
    Load(state);
    result_ = 0;
    ::SendMessageA(edtFileName, EM_SETSEL, 0, -1);
    modal_ = true;
    // Destroyed with its owner (the program ending meanwhile), or a quit,
    // counts as cancelled.
    const bool answered = RunModal(owner_, edtFileName, [this] { return result_ != 0; });
    modal_ = false;
    if (!Handle()) return false;
    Read(state);
    return answered && result_ == IDOK;
}

void TfrmItemInfo::BringToFront(bool beep) {
    if (!modal_) return;
    ::SetForegroundWindow(Handle());
    if (beep) ::MessageBeep(MB_ICONASTERISK);
}

LRESULT TfrmItemInfo::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                result_ = LOWORD(wParam);
                return 0;
            }
            break;
        case WM_CLOSE:
            result_ = IDCANCEL;
            return 0;
        case WM_ACTIVATEAPP:
            // The user went to another program while a new picture waits for
            // an answer: call them back.
            if (modal_ && !wParam) ::PostMessageA(Handle(), WM_BRING_TO_FRONT, TRUE, 0);
            break;
        case WM_ACTIVATE:
            if (modal_ && LOWORD(wParam) == WA_INACTIVE && ::IsWindowVisible(Handle())) {
                // Our own message boxes may take the front; others may not.
                HWND next = reinterpret_cast<HWND>(lParam);
                if (!next || ::GetWindowThreadProcessId(next, nullptr) != ::GetCurrentThreadId()) {
                    ::PostMessageA(Handle(), WM_BRING_TO_FRONT, FALSE, 0);
                }
            }
            break;
        case WM_BRING_TO_FRONT:
            BringToFront(wParam != 0);
            return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace pictavo
