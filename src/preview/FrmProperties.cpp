#include "preview/FrmProperties.h"

#include <commctrl.h>

#include "preview/PreviewRules.h"
#include "platform/Controls.h"

namespace pictavo {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 340;
constexpr int kClientHeight = 200;

enum Id { idNavFirst = 600, idNavPrior, idNavNext, idNavLast, idNavDelete };

void AddHint(HWND tips, HWND owner, HWND control, const char* text) {
    TOOLINFOA info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<char*>(text);
    ::SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace

std::string TimestampText(std::int64_t localFileTime) {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(localFileTime);
    ft.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(localFileTime) >> 32);
    SYSTEMTIME st{};
    if (!::FileTimeToSystemTime(&ft, &st)) return "";
    char date[64] = {}, time[64] = {};
    ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof(date));
    ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof(time));
    return std::string(date) + " " + time;
}

TfrmProperties::TfrmProperties(HWND owner, TInventoryStore& inventory, IPrompts& prompts,
                               std::function<void()> moved)
    : owner_(owner), inventory_(inventory), prompts_(prompts), moved_(std::move(moved)) {
    SIZE size = WindowSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle);
    POINT at = CenteredOnScreen(size.cx, size.cy);
    Create("TfrmProperties", kExStyle, kStyle, "Wallpaper Properties", at.x, at.y, size.cx,
           size.cy, owner);
    HWND self = Handle();
    ControlBuilder b(self);
    const DWORD field = WS_VISIBLE | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL;
    lblName = b.Label("Name:", 12, 15, 70);
    edtFileName = CreateControl(self, "EDIT", "", field, 90, 12, 238, 21, 0, WS_EX_CLIENTEDGE);
    lblFolder = b.Label("In Folder:", 12, 42, 70);
    edtLocation = CreateControl(self, "EDIT", "", field, 90, 39, 238, 21, 0, WS_EX_CLIENTEDGE);
    lblSize = b.Label("Size:", 12, 69, 70);
    edtSize = CreateControl(self, "EDIT", "", field | ES_RIGHT, 90, 66, 100, 21, 0,
                            WS_EX_CLIENTEDGE);
    lblModified = b.Label("Modified:", 12, 96, 70);
    edtTimestamp = CreateControl(self, "EDIT", "", field, 90, 93, 160, 21, 0, WS_EX_CLIENTEDGE);
    // Plain check boxes, not automatic ones: a click does not change the record.
    chkEnabled = CreateControl(self, "BUTTON", "On", WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX, 90,
                               122, 60, 17);
    chkTile = CreateControl(self, "BUTTON", "Tile", WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX, 160,
                            122, 60, 17);
    btnOK = b.Button("&OK", IDOK, 253, 163, 75);
    ::SetWindowLongPtrA(btnOK, GWL_STYLE, ::GetWindowLongPtrA(btnOK, GWL_STYLE) | BS_DEFPUSHBUTTON);

    const char* navCaptions[] = {"|<", "<", ">", ">|", "-"};
    HWND* nav[] = {&btnNavFirst, &btnNavPrior, &btnNavNext, &btnNavLast, &btnNavDelete};
    for (int i = 0; i < 5; ++i) {
        *nav[i] = CreateControl(self, "BUTTON", navCaptions[i], WS_TABSTOP | BS_PUSHBUTTON,
                                12 + i * 26, 163, 25, 25, idNavFirst + i);
    }
    lblLCLocation = CreateControl(self, "STATIC", "", SS_LEFTNOWORDWRAP, 12, 144, 316, 13);
    lblLCFilename = CreateControl(self, "STATIC", "", SS_LEFTNOWORDWRAP, 160, 169, 88, 13);

    tooltips_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  0, 0, 0, 0, self, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    AddHint(tooltips_, self, edtFileName, "File Name");
    AddHint(tooltips_, self, edtLocation, "Location of File");
    AddHint(tooltips_, self, edtSize, "Size of File");
    AddHint(tooltips_, self, edtTimestamp, "Date and Time Last Modified");
}

void TfrmProperties::LoadRecord() {
    InventoryRecord record;
    const bool has = inventory_.HasClones() && inventory_.cdtInventory().HasRecord();
    if (has) record = inventory_.cdtInventory().Record();
    SetControlText(edtFileName, has ? record.FileName : "");
    SetControlText(edtLocation, has ? record.Location : "");
    SetControlText(edtSize, has ? FormatSize(record.Size) : "");
    SetControlText(edtTimestamp, has ? TimestampText(record.Timestamp) : "");
    ::SendMessageA(chkEnabled, BM_SETCHECK, has && record.Enabled ? BST_CHECKED : BST_UNCHECKED, 0);
    ::SendMessageA(chkTile, BM_SETCHECK, has && record.Tile ? BST_CHECKED : BST_UNCHECKED, 0);
    SetControlText(lblLCLocation, has ? record.LCLocation : "");
    SetControlText(lblLCFilename, has ? record.LCFilename : "");
    for (HWND b : {btnNavFirst, btnNavPrior, btnNavNext, btnNavLast, btnNavDelete}) {
        ::EnableWindow(b, has);
    }
}

void TfrmProperties::ToggleNavigator() {
    const int show = NavigatorShown() ? SW_HIDE : SW_SHOW;
    for (HWND w : {btnNavFirst, btnNavPrior, btnNavNext, btnNavLast, btnNavDelete, lblLCLocation,
                   lblLCFilename}) {
        ::ShowWindow(w, show);
    }
}

void TfrmProperties::Navigate(int id) {
    if (!inventory_.HasClones() || !inventory_.cdtInventory().HasRecord()) return;
    InventoryCursor& cursor = inventory_.cdtInventory();
    switch (id) {
        case idNavFirst: cursor.First(); break;
        case idNavPrior: cursor.Prior(); break;
        case idNavNext: cursor.Next(); break;
        case idNavLast: cursor.Last(); break;
        case idNavDelete:
            if (prompts_.Show(Handle(), "Delete record?", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
                return;
            }
            cursor.Delete();
            // Saved like every other change, not left to whatever change comes next.
            inventory_.ScheduleSave();
            inventory_.ShowPictureCount();
            break;
    }
    if (moved_) moved_();
    LoadRecord();
}

void TfrmProperties::ShowModal() {
    LoadRecord();
    // The keyboard goes back where it was (the list), so its keys work on.
    HWND focus = ::GetFocus();
    modal_ = true;
    RunModal(owner_, btnOK, [this] { return !modal_; }, true);
    modal_ = false;
    if (focus && ::IsWindow(focus)) ::SetFocus(focus);
}

LRESULT TfrmProperties::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL:
                    modal_ = false;
                    ::ShowWindow(Handle(), SW_HIDE);
                    return 0;
                case idNavFirst:
                case idNavPrior:
                case idNavNext:
                case idNavLast:
                case idNavDelete:
                    Navigate(LOWORD(wParam));
                    return 0;
                case 0:
                    break;
            }
            if (HIWORD(wParam) == BN_CLICKED) return 0;
            break;
        case WM_CLOSE:
            modal_ = false;
            ::ShowWindow(Handle(), SW_HIDE);
            return 0;
        case WM_LBUTTONDBLCLK:
            ToggleNavigator();
            return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace pictavo
