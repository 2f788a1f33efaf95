#include "app/FormScaling.h"

#include <map>
#include <string>
#include <vector>

#include "platform/Trace.h"
#include "platform/Handles.h"

namespace pictavo {
namespace {

HFONT FontOfHeight(HFONT like, int height) {
    // Windows made again and again (the About box, the shutdown notice) ask
    // for the same few fonts: each is made once and shared, so their number
    // stays as small as the number of different fonts.
    static std::map<std::string, UniqueGdiObject> made;
    LOGFONTA font{};
    if (!like || !::GetObjectA(like, sizeof(font), &font)) {
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    }
    font.lfHeight = height;
    const std::string key(reinterpret_cast<const char*>(&font), sizeof(font));
    UniqueGdiObject& shared = made[key];
    if (!shared) shared.Reset(::CreateFontIndirectA(&font));
    return static_cast<HFONT>(shared.Get());
}

}  // namespace

int ScreenPixelsPerInch() {
    WindowDC screen(nullptr);
    return ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

void AdjustFormScaling(HWND window, int formFontHeight) {
    AdjustFormScalingAt(window, formFontHeight, window ? ScreenPixelsPerInch() : 0);
}

void AdjustFormScalingAt(HWND window, int formFontHeight, int pixelsPerInch) {
    if (!window) return;
    SendTrace("AdjustFormScaling: Begin", window);
    if (pixelsPerInch == kDesignPixelsPerInch) return;
    SendTrace("AdjustFormScaling: Adjusting for Font Size", window);
    const int factor = formFontHeight / kDesignFontHeight;  // truncates toward zero

    std::vector<HWND> direct;
    for (HWND child = ::GetWindow(window, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        direct.push_back(child);
    }
    for (auto it = direct.rbegin(); it != direct.rend(); ++it) {
        auto current = reinterpret_cast<HFONT>(::SendMessageA(*it, WM_GETFONT, 0, 0));
        LOGFONTA font{};
        int height = kDesignFontHeight;
        if (current && ::GetObjectA(current, sizeof(font), &font)) height = font.lfHeight;
        ::SendMessageA(*it, WM_SETFONT,
                       reinterpret_cast<WPARAM>(FontOfHeight(current, height * factor)), TRUE);
    }
}

}  // namespace pictavo
