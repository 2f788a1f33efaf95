// The hot key for the next wallpaper, registered with the system for real.
#include "shell/NextWallpaperHotKey.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Window.h"

namespace pictavo {
namespace {

struct RecordingHost : IUserInterface, ISlideControl {
    HWND window = nullptr;
    std::vector<std::string> errors, calls;

    HWND MainWindow() const override { return window; }
    void Trace(const std::string&) override {}
    void ShowError(const std::string& message) override { errors.push_back(message); }
    void ShowHint(const std::string&) override {}
    void ProcessMessages() override {}
    void RestartSlideCountdown() override {}
    void ShowNextSlide() override {}
    void tmrSlideTimer() override { calls.push_back("tmrSlideTimer"); }
    void RunSlideshow1Click() override {}
    std::string SlideIntervalText() const override { return ""; }
};

// The main window's part: WM_HOTKEY goes to the hot key.
class HotKeyForm : public Window {
public:
    TNextWallpaperHotKey* hotKey = nullptr;
    HotKeyForm() { Create("HotKeyTestForm", 0, WS_OVERLAPPEDWINDOW, "test", 0, 0, 200, 100, nullptr); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_HOTKEY && hotKey) {
            hotKey->WMHotKey(wParam);
            return 0;
        }
        return Window::HandleMessage(message, wParam, lParam);
    }
};

// Keys no one else in the prefix uses.
const HotKey kF9{VK_F9, true, true, true};
const HotKey kF10{VK_F10, true, true, true};
const HotKey kF11{VK_F11, true, true, true};

// Whether some program holds the key: it cannot be registered again.
bool Held(const HotKey& key) {
    constexpr int kProbeId = 0x7777;
    if (!::RegisterHotKey(nullptr, kProbeId, RegisterModifiers(key), key.key)) return true;
    ::UnregisterHotKey(nullptr, kProbeId);
    return false;
}

void Pump() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
}

// The hot-key control's flags are not the system's: Shift and Alt trade places.
TEST(NextWallpaperHotKey, TheControlsFlagsAndTheSystemsModifiersAreTranslated) {
    const struct {
        HotKey key;
        WORD control;
        UINT modifiers;
    } cases[] = {
        {HotKey{}, 0, 0},
        {HotKey{'N', true, true, false}, MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT),
         MOD_CONTROL | MOD_ALT},
        {HotKey{'N', false, true, false}, MAKEWORD('N', HOTKEYF_ALT), MOD_ALT},
        {HotKey{'N', true, false, true}, MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_SHIFT),
         MOD_CONTROL | MOD_SHIFT},
        {HotKey{VK_F5, false, true, true}, MAKEWORD(VK_F5, HOTKEYF_ALT | HOTKEYF_SHIFT),
         MOD_ALT | MOD_SHIFT},
        // Page Up beside the main block, not the keypad's 9.
        {HotKey{VK_PRIOR, true, false, false}, MAKEWORD(VK_PRIOR, HOTKEYF_CONTROL | HOTKEYF_EXT),
         MOD_CONTROL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(FormatHotKey(c.key));
        EXPECT_EQ(ControlValueOf(c.key), c.control);
        EXPECT_EQ(HotKeyFromControlValue(c.control), c.key);
        EXPECT_EQ(RegisterModifiers(c.key), c.modifiers);
    }
}

TEST(NextWallpaperHotKey, TheKeyPressedAnywhereChangesTheWallpaperNow) {
    HotKeyForm form;
    RecordingHost host;
    TNextWallpaperHotKey hotKey(form.Handle(), host, host);
    form.hotKey = &hotKey;
    ASSERT_EQ(hotKey.Apply(kF9), kF9);
    ASSERT_TRUE(Held(kF9));

    // Pressed as the keyboard would: the modifiers, the key, and all released.
    std::vector<INPUT> keys;
    for (int vk : {VK_CONTROL, VK_MENU, VK_SHIFT, VK_F9}) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = static_cast<WORD>(vk);
        keys.push_back(down);
    }
    for (size_t i = keys.size(); i-- > 0;) {
        INPUT up = keys[i];
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        keys.push_back(up);
    }
    ASSERT_EQ(::SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)), keys.size());
    const DWORD deadline = ::GetTickCount() + 10000;
    while (host.calls.empty() && ::GetTickCount() < deadline) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        Pump();
    }
    EXPECT_EQ(host.calls, std::vector<std::string>{"tmrSlideTimer"});
    // Another program's key of the window is not ours.
    EXPECT_FALSE(hotKey.WMHotKey(0x7777));
    EXPECT_EQ(host.calls.size(), 1u);
}

TEST(NextWallpaperHotKey, AKeyAnotherProgramHoldsIsToldByNameAndTheKeyInForceStays) {
    HotKeyForm form;
    RecordingHost host;
    ASSERT_TRUE(::RegisterHotKey(nullptr, 0x7778, RegisterModifiers(kF10), kF10.key));
    {
        TNextWallpaperHotKey hotKey(form.Handle(), host, host);
        ASSERT_EQ(hotKey.Apply(kF11), kF11);

        EXPECT_EQ(hotKey.Apply(kF10), kF11);
        EXPECT_EQ(host.errors, std::vector<std::string>{
                                   "The hot key Ctrl+Alt+Shift+F10 is already used by another "
                                   "program.\rPlease choose another key."});
        EXPECT_EQ(hotKey.InForce(), kF11);
        EXPECT_TRUE(Held(kF11));

        // With no key in force, the field goes back to none.
        EXPECT_EQ(hotKey.Apply(HotKey{}), HotKey{});
        EXPECT_FALSE(Held(kF11));
        EXPECT_EQ(hotKey.Apply(kF10), HotKey{});
        EXPECT_EQ(host.errors.size(), 2u);

        // A key that types is refused before the system is asked.
        EXPECT_EQ(hotKey.Apply(HotKey{'N', false, false, true}), HotKey{});
        EXPECT_EQ(host.errors.back(), "The hot key Shift+N needs Ctrl or Alt.");

        // A new key replaces the old one.
        ASSERT_EQ(hotKey.Apply(kF11), kF11);
        ASSERT_EQ(hotKey.Apply(kF9), kF9);
        EXPECT_FALSE(Held(kF11));
        EXPECT_TRUE(Held(kF9));
    }
    // Given back when the program ends.
    EXPECT_FALSE(Held(kF9));
    ::UnregisterHotKey(nullptr, 0x7778);
}

}  // namespace
}  // namespace pictavo
