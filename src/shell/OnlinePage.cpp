#include "shell/OnlinePage.h"

#include "shell/LaunchRules.h"

namespace pictavo {
namespace {

enum ControlId {
    idHome = 500,
    idImageLibrary,
    idFeedback,
    idPVOHome,
    idTutorial,
};

}  // namespace

TOnlinePage::TOnlinePage(HWND parent, const RECT& area, TWebPages& webPages)
    : TPanel(parent, area, "tsOnline"), webPages_(webPages) {
    linkFont_.Reset(::CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));
    lblVisitUs = CreateControl(Handle(), "STATIC", "Visit us on the Web", WS_VISIBLE | SS_LEFT, 24,
                               24, 300, 16, 0, 0, StandardFont(-13, true));
    lblHome = Link("Norvex Software Home Page", idHome, 60);
    lblImageLibrary = Link("Norvex's Wallpaper and Image Gallery", idImageLibrary, 88);
    lblFeedback = Link("Send us your Comments", idFeedback, 116);
    lblPVOHome = Link("Pictavo Home Page", idPVOHome, 144);
    lblTutorial = Link("Capturing Wallpaper from the Web - Tutorial", idTutorial, 172, false);
}

HWND TOnlinePage::Link(const char* caption, int id, int y, bool visible) {
    return CreateControl(Handle(), "STATIC", caption,
                         (visible ? WS_VISIBLE : 0) | SS_LEFT | SS_NOTIFY, 40, y, 300, 16, id, 0,
                         static_cast<HFONT>(linkFont_.Get()));
}

bool TOnlinePage::IsLink(HWND control) const {
    return control && (control == lblHome || control == lblImageLibrary || control == lblFeedback ||
                       control == lblPVOHome || control == lblTutorial);
}

void TOnlinePage::Open(const char* function) {
    webPages_.OpenWebPage(WebPageAddress(function), ::GetAncestor(Handle(), GA_ROOT));
}

void TOnlinePage::lblHomeClick() { Open("home"); }
void TOnlinePage::Label8Click() { Open("imglib"); }
void TOnlinePage::Label6Click() { Open("feedback"); }
void TOnlinePage::lblPVOHomeClick() { Open("apphome"); }
void TOnlinePage::lblTutorialClick() { Open("tutorial"); }

LRESULT TOnlinePage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == STN_CLICKED) {
                switch (LOWORD(wParam)) {
                    case idHome:
                        lblHomeClick();
                        return 0;
                    case idImageLibrary:
                        Label8Click();
                        return 0;
                    case idFeedback:
                        Label6Click();
                        return 0;
                    case idPVOHome:
                        lblPVOHomeClick();
                        return 0;
                    case idTutorial:
                        lblTutorialClick();
                        return 0;
                }
            }
            break;
        case WM_SETCURSOR:
            if (IsLink(reinterpret_cast<HWND>(wParam))) {
                ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
                return TRUE;
            }
            break;
        case WM_CTLCOLORSTATIC:
            if (IsLink(reinterpret_cast<HWND>(lParam))) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                ::SetTextColor(dc, RGB(0, 0, 255));
                ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
    }
    return TPanel::HandleMessage(message, wParam, lParam);
}

}  // namespace pictavo
