#include "app/FrmSplash.h"

#include "app/SettingsFile.h"
#include "platform/Files.h"
#include "resource.h"

namespace pictavo {
namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 240;
constexpr uint32_t kSplashTime = 3000;

std::function<void(HWND)>& LinkHandler() {
    static std::function<void(HWND)> handler;
    return handler;
}

std::unique_ptr<TFrmSplash>& SplashRef() {
    static std::unique_ptr<TFrmSplash> splash;
    return splash;
}

}  // namespace

TFrmSplash::TFrmSplash(ITimerFactory& timers) : Timer1(timers.CreateTimer()) {
    picture_.Reset(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_SPLASH),
                                IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    POINT at = CenteredOnScreen(kWidth, kHeight);
    Create("TFrmSplash", WS_EX_TOOLWINDOW, WS_POPUP, "Pictavo", at.x, at.y, kWidth,
           kHeight, nullptr);
    lblHome_ = CreateControl(Handle(), "STATIC", "www.norvex.com",
                             WS_VISIBLE | SS_CENTER | SS_NOTIFY, 0, kHeight - 28, kWidth, 16);
    Timer1->SetEnabled(false);
    Timer1->SetInterval(kSplashTime);
    Timer1->OnTimer = [this] { Timer1Timer(); };
}

TFrmSplash::~TFrmSplash() = default;

void TFrmSplash::Close() {
    if (Handle()) ::ShowWindow(Handle(), SW_HIDE);
}

void TFrmSplash::Timer1Timer() {
    Timer1->SetEnabled(false);
    EndSplash();
}

LRESULT TFrmSplash::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PaintScope paint(Handle());
            if (picture_) {
                MemoryDC memory(paint.Get());
                SelectedObject picture(memory.Get(), picture_.Get());
                ::BitBlt(paint.Get(), 0, 0, kWidth, kHeight, memory.Get(), 0, 0, SRCCOPY);
            }
            return 0;
        }
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lParam) == lblHome_ && HIWORD(wParam) == STN_CLICKED) {
                if (LinkHandler()) LinkHandler()(Handle());
                return 0;
            }
            break;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == lblHome_) {
                ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
                return TRUE;
            }
            break;
        case WM_CTLCOLORSTATIC:
            // The web address: blue on the picture's background.
            if (reinterpret_cast<HWND>(lParam) == lblHome_) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                ::SetTextColor(dc, RGB(0, 0, 255));
                ::SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
            }
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

TFrmSplash* Splash() { return SplashRef().get(); }

void SetSplashLinkHandler(std::function<void(HWND)> handler) { LinkHandler() = std::move(handler); }

void BeginSplash(ITimerFactory& timers) {
    SplashRef().reset();
    struct StartTimer {
        ~StartTimer() {
            if (Splash()) Splash()->Timer1->SetEnabled(true);
        }
    } startTimer;
    TSettingsFile settings(ChangeFileExt(ExePath(), ".ini"));
    if (settings.ReadBool("General", "Verbose", true)) ShowSplash(timers);
}

void ShowSplash(ITimerFactory& timers) {
    if (Splash()) return;
    SplashRef() = std::make_unique<TFrmSplash>(timers);
    Splash()->Ready = false;
    ::ShowWindow(Splash()->Handle(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(Splash()->Handle());
}

void EndSplash() {
    if (!Splash()) return;
    if (Splash()->Ready) {
        Splash()->Close();
        SplashRef().reset();
    } else {
        Splash()->Ready = true;
    }
}

void HideSplash() {
    if (Splash()) Splash()->Close();
}

}  // namespace pictavo
