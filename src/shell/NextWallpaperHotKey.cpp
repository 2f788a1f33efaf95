#include "shell/NextWallpaperHotKey.h"

#include <commctrl.h>

namespace pictavo {
namespace {

// Keys the hot-key control names as the ones beside the main block, not the keypad's.
bool IsExtendedKey(uint8_t key) {
    return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE ||
           key == VK_DIVIDE || key == VK_NUMLOCK;
}

}  // namespace

HotKey HotKeyFromControlValue(WORD value) {
    const BYTE flags = HIBYTE(value);
    HotKey hotKey;
    hotKey.key = LOBYTE(value);
    hotKey.ctrl = (flags & HOTKEYF_CONTROL) != 0;
    hotKey.alt = (flags & HOTKEYF_ALT) != 0;
    hotKey.shift = (flags & HOTKEYF_SHIFT) != 0;
    return hotKey;
}

WORD ControlValueOf(const HotKey& hotKey) {
    if (hotKey.None()) return 0;
    BYTE flags = 0;
    if (hotKey.ctrl) flags |= HOTKEYF_CONTROL;
    if (hotKey.alt) flags |= HOTKEYF_ALT;
    if (hotKey.shift) flags |= HOTKEYF_SHIFT;
    if (IsExtendedKey(hotKey.key)) flags |= HOTKEYF_EXT;
    return MAKEWORD(hotKey.key, flags);
}

UINT RegisterModifiers(const HotKey& hotKey) {
    return (hotKey.ctrl ? MOD_CONTROL : 0) | (hotKey.alt ? MOD_ALT : 0) |
           (hotKey.shift ? MOD_SHIFT : 0);
}

TNextWallpaperHotKey::TNextWallpaperHotKey(HWND window, IUserInterface& ui, ISlideControl& slides)
    : window_(window), ui_(ui), slides_(slides) {}

TNextWallpaperHotKey::~TNextWallpaperHotKey() { Release(); }

HotKey TNextWallpaperHotKey::Apply(const HotKey& wanted, bool tell) {
    if (wanted == inForce_) return inForce_;
    if (wanted.None()) {
        Release();
        return inForce_;
    }
    if (!IsUsableHotKey(wanted)) {
        if (tell) ui_.ShowError("The hot key " + FormatHotKey(wanted) + " needs Ctrl or Alt.");
        return inForce_;
    }
    const int next = id_ == 1 ? 2 : 1;
    if (!::RegisterHotKey(window_, next, RegisterModifiers(wanted), wanted.key)) {
        const DWORD error = ::GetLastError();
        const std::string name = FormatHotKey(wanted);
        ui_.Trace("NextWallpaperHotKey: " + name + " refused, error " + std::to_string(error));
        if (!tell) return inForce_;
        ui_.ShowError(error == ERROR_HOTKEY_ALREADY_REGISTERED
                          ? "The hot key " + name +
                                " is already used by another program.\rPlease choose another key."
                          : "Unable to set the hot key " + name + ".");
        return inForce_;
    }
    Release();
    id_ = next;
    inForce_ = wanted;
    return inForce_;
}

void TNextWallpaperHotKey::Release() {
    if (id_ != 0) ::UnregisterHotKey(window_, id_);
    id_ = 0;
    inForce_ = HotKey{};
}

bool TNextWallpaperHotKey::WMHotKey(WPARAM id) {
    if (id_ == 0 || id != static_cast<WPARAM>(id_)) return false;
    ui_.Trace("NextWallpaperHotKey: " + FormatHotKey(inForce_) + " pressed");
    slides_.tmrSlideTimer();
    return true;
}

}  // namespace pictavo
