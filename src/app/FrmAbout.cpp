#include "app/FrmAbout.h"

#include "app/FormScaling.h"
#include "app/VersionInfo.h"

namespace pictavo {
namespace {
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 260;
constexpr int kClientHeight = 170;
constexpr int kFontHeight = -10;
}  // namespace

TFrmAbout::TFrmAbout(HWND owner) : owner_(owner) {
    SIZE size = WindowSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle);
    POINT at = CenteredOnScreen(size.cx, size.cy);
    Create("TFrmAbout", kExStyle, kStyle, "About Pictavo", at.x, at.y, size.cx, size.cy, owner);
    HWND self = Handle();
    const HFONT font = StandardFont(kFontHeight);
    const DWORD label = WS_VISIBLE | SS_CENTER;
    lblCompany = CreateControl(self, "STATIC", "Norvex Software Inc.", label, 10, 12,
                               kClientWidth - 20, 14, 0, 0, StandardFont(kFontHeight, true));
    lblProduct = CreateControl(self, "STATIC", "Pictavo", label, 10, 30, kClientWidth - 20, 30, 0,
                               0, StandardFont(-24, true));
    lblVersionName = CreateControl(self, "STATIC", "", label, 10, 66, kClientWidth - 20, 14, 0, 0,
                                   font);
    lblCopyright = CreateControl(self, "STATIC", "", label, 10, 84, kClientWidth - 20, 14, 0, 0,
                                 font);
    lblVersionAndBuild = CreateControl(self, "STATIC", "", SS_CENTER, 10, 102, kClientWidth - 20,
                                       14, 0, 0, font);
    btnOK = CreateControl(self, "BUTTON", "&OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                          (kClientWidth - 75) / 2, 130, 75, 25, IDOK, 0, font);
    FormCreate();
}

void TFrmAbout::FormCreate() {
    AdjustFormScaling(Handle(), kFontHeight);
    ::SetWindowTextA(lblVersionName, GetVersionString("ProductVersion").c_str());
    ::SetWindowTextA(lblVersionAndBuild, ("Build " + GetVersionString("FileVersion")).c_str());
    ::SetWindowTextA(lblCopyright, GetVersionString("LegalCopyright").c_str());
}

void TFrmAbout::Close() { closed_ = true; }

void TFrmAbout::ShowModal() {
    closed_ = false;
    RunModal(owner_, btnOK, [this] { return closed_; });
}

LRESULT TFrmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            // "&OK" is both the default and the cancel button.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                Close();
                return 0;
            }
            break;
        case WM_CLOSE:
            Close();
            return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

void ShowAboutBox(HWND owner) {
    TFrmAbout about(owner);
    about.ShowModal();
}

}  // namespace pictavo
