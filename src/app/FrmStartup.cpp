#include "app/FrmStartup.h"

#include "app/FormScaling.h"

namespace pictavo {
namespace {
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr int kClientWidth = 268;
constexpr int kClientHeight = 27;
}  // namespace

TFrmStartup::TFrmStartup() {
    SIZE size = WindowSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle);
    POINT at = CenteredOnScreen(size.cx, size.cy);
    Create("TFrmStartup", kExStyle, kStyle, " Pictavo by Norvex Software Inc.", at.x, at.y, size.cx,
           size.cy, nullptr);
    lblMessage = CreateControl(Handle(), "STATIC", "", WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 0,
                               0, kClientWidth, kClientHeight);
    FormCreate();
}

void TFrmStartup::FormCreate() { AdjustFormScaling(Handle()); }

LRESULT TFrmStartup::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
        ::InvalidateRect(Handle(), nullptr, TRUE);
        ::UpdateWindow(Handle());
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace pictavo
