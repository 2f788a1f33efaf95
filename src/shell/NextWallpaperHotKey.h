#pragma once
// The hot key that runs "Change Wallpaper &Now" from anywhere: registered
// with the system on the main window, which hands its WM_HOTKEY here.
#include <windows.h>

#include <string>

#include "desktop/SlideControl.h"
#include "platform/UserInterface.h"
#include "shell/HotKeyText.h"

namespace pictavo {

// The hot-key control's value (HKM_GETHOTKEY, HKM_SETHOTKEY): the key in the
// low byte, HOTKEYF_ flags in the high one. Those flags are not RegisterHotKey's
// MOD_ flags: Shift and Alt trade places.
HotKey HotKeyFromControlValue(WORD value);
WORD ControlValueOf(const HotKey& hotKey);
// The modifiers as RegisterHotKey takes them.
UINT RegisterModifiers(const HotKey& hotKey);

class TNextWallpaperHotKey {
public:
    TNextWallpaperHotKey(HWND window, IUserInterface& ui, ISlideControl& slides);
    ~TNextWallpaperHotKey();
    TNextWallpaperHotKey(const TNextWallpaperHotKey&) = delete;
    TNextWallpaperHotKey& operator=(const TNextWallpaperHotKey&) = delete;

    // Makes the key the one in force (none unregisters). A key the system
    // refuses, most often because another program holds it, is told to the
    // user by name (unless `tell` is false: then only traced) and the key in
    // force stays as it was. Returns the key in force.
    HotKey Apply(const HotKey& wanted, bool tell = true);
    const HotKey& InForce() const { return inForce_; }
    // The key is taken back from the system (at exit).
    void Release();

    // WM_HOTKEY on the window: ours runs "Change Wallpaper &Now".
    bool WMHotKey(WPARAM id);

private:
    HWND window_;
    IUserInterface& ui_;
    ISlideControl& slides_;
    HotKey inForce_;
    // The number the key in force is registered under; 0 for none. A new key
    // takes the other number, so the one in force stays registered until the
    // new one is.
    int id_ = 0;
};

}  // namespace pictavo
