#include "pictures/FrmConfirmation.h"

#include <commctrl.h>

#include "platform/Controls.h"

namespace pictavo {
namespace {

// A fixed dialog whose title bar has only the close button.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 330;
constexpr int kClientHeight = 186;

enum ControlId {
    idName = 400,
    idFolder,
    idSize,
    idModified,
    idDontShowAgain,
};

std::string FormatTimestamp(long long localTime) {
    FILETIME time{static_cast<DWORD>(localTime), static_cast<DWORD>(localTime >> 32)};
    SYSTEMTIME st{};
    if (!::FileTimeToSystemTime(&time, &st)) return {};
    char date[64] = {}, clock[64] = {};
    ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof(date));
    ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, clock, sizeof(clock));
    return std::string(date) + " " + clock;
}

}  // namespace

std::string FormatThousands(long long value) {
    const bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    std::string digits = std::to_string(magnitude);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
    return negative ? "-" + digits : digits;
}

TfrmConfirmation::TfrmConfirmation(HWND owner, const InventoryRecord& record) : owner_(owner) {
    SIZE size = WindowSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle);
    POINT at = CenteredOnScreen(size.cx, size.cy);
    // The design-time title; every question sets its own.
    Create("TfrmConfirmation", kExStyle, kStyle, "Confirm File Deletion", at.x, at.y, size.cx,
           size.cy, owner);
    HWND self = Handle();
    ControlBuilder b(self);
    lblQuestion = CreateControl(self, "STATIC", "Delete this file from disk?", WS_VISIBLE | SS_LEFT,
                                12, 10, 306, 16, 0, 0, StandardFont(kFontHeight, true));
    lblName = b.Label("Name:", 12, 36, 70);
    edtName = ValueField(record.FileName, 36, idName);
    lblFolder = b.Label("In Folder:", 12, 56, 70);
    edtFolder = ValueField(record.Location, 56, idFolder);
    lblSize = b.Label("Size:", 12, 76, 70);
    edtSize = ValueField(FormatThousands(record.Size), 76, idSize);
    lblModified = b.Label("Modified:", 12, 96, 70);
    edtModified = ValueField(FormatTimestamp(record.Timestamp), 96, idModified);
    chkDontShowAgain = CreateControl(self, "BUTTON", "&Don't show this message again.",
                                     WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 12, 122,
                                     306, 17, idDontShowAgain);
    btnOK =
        CreateControl(self, "BUTTON", "&OK", WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON,
                      162, 152, 75, 25, IDOK);
    btnCancel = CreateControl(self, "BUTTON", "Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                              243, 152, 75, 25, IDCANCEL);

    // Each value field tells its whole text in a tooltip, for a value longer than the field.
    HWND fields[] = {edtName, edtFolder, edtSize, edtModified};
    for (int i = 0; i < 4; ++i) {
        tips_[i] = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                     WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, self, nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr);
        if (!tips_[i]) continue;
        std::string text = WindowText(fields[i]);
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = self;
        tool.uId = reinterpret_cast<UINT_PTR>(fields[i]);
        tool.lpszText = text.data();
        ::SendMessageA(tips_[i], TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

TfrmConfirmation::~TfrmConfirmation() {
    for (HWND tip : tips_) {
        if (tip) ::DestroyWindow(tip);
    }
}

HWND TfrmConfirmation::ValueField(const std::string& text, int y, int id) {
    // Read-only and borderless in the dialog's colour: a value, not an entry;
    // still selectable, so a long one can be scrolled and copied.
    return CreateControl(Handle(), "EDIT", text, WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL, 88, y,
                         230, 16, id);
}

void TfrmConfirmation::chkDontShowAgainClick() {
    if (OnDontShowAgain) OnDontShowAgain(Checked(chkDontShowAgain));
}

bool TfrmConfirmation::ShowModal() {
    ::SendMessageA(chkDontShowAgain, BM_SETCHECK, BST_UNCHECKED, 0);
    result_ = 0;
    // Destroyed with its owner (the program ending meanwhile), or a quit,
    // counts as cancelled.
    return RunModal(owner_, btnOK, [this] { return result_ != 0; }) &&
           (result_ == IDOK || result_ == IDYES);
}

LRESULT TfrmConfirmation::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (id == IDOK || id == IDCANCEL) {
                result_ = id;
                return 0;
            }
            if (id == idDontShowAgain && code == BN_CLICKED) {
                chkDontShowAgainClick();
                return 0;
            }
            // A field's tooltip would cover the field the user is reading.
            if (id >= idName && id <= idModified && (code == EN_SETFOCUS || code == EN_KILLFOCUS)) {
                if (HWND tip = tips_[id - idName]) {
                    ::SendMessageA(tip, TTM_ACTIVATE, code == EN_KILLFOCUS, 0);
                }
                return 0;
            }
            break;
        }
        case WM_CTLCOLORSTATIC:
            // Read-only edit boxes ask here too: they take the dialog's colour.
            ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        case WM_CLOSE:
            result_ = IDCANCEL;
            return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

bool TConfirmationDialogs::Ask(HWND owner, const ConfirmationQuestion& question,
                               const std::function<void(bool)>& chkDontShowAgainClick) {
    TfrmConfirmation form(owner, question.record);
    if (scale_) scale_(form.Handle());
    ::SetWindowTextA(form.Handle(), question.title.c_str());
    ::SetWindowTextA(form.lblQuestion, question.question.c_str());
    form.OnDontShowAgain = chkDontShowAgainClick;
    return form.ShowModal();
}

}  // namespace pictavo
