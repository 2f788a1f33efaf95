#include "desktop/WallpaperSystem.h"

#include "platform/Handles.h"

namespace pictavo {
namespace {

// "Control Panel", then "Desktop", opened one after the other, never created.
UniqueHKey OpenDesktopKey(REGSAM access) {
    UniqueHKey panel;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel", 0, access, panel.Put()) !=
        ERROR_SUCCESS) {
        return {};
    }
    UniqueHKey desktop;
    if (::RegOpenKeyExA(panel.Get(), "Desktop", 0, access, desktop.Put()) != ERROR_SUCCESS) {
        return {};
    }
    return desktop;
}

std::string ReadString(HKEY key, const char* name) {
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    std::string value(size, '\0');
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                           &size) != ERROR_SUCCESS) {
        return {};
    }
    value.resize(size);
    while (!value.empty() && value.back() == '\0') value.pop_back();
    return value;
}

class RegistryWallpaper final : public IWallpaperSystem {
public:
    std::optional<DesktopValues> ReadDesktop() override {
        UniqueHKey key = OpenDesktopKey(KEY_QUERY_VALUE);
        if (!key) return std::nullopt;
        return DesktopValues{ReadString(key.Get(), "WALLPAPER"),
                             ReadString(key.Get(), "TILEWALLPAPER")};
    }

    bool WriteTile(bool tile) override {
        UniqueHKey key = OpenDesktopKey(KEY_SET_VALUE);
        if (!key) return false;
        const char* value = tile ? "1" : "0";
        ::RegSetValueExA(key.Get(), "TILEWALLPAPER", 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(value), 2);
        return true;
    }

    bool SetDeskWallpaper(const std::string& path, UINT fWinIni, DWORD& error) override {
        std::string buffer = path;  // the call wants a writable string
        ::SetLastError(ERROR_SUCCESS);
        if (::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, buffer.data(), fWinIni)) return true;
        error = ::GetLastError();
        return false;
    }
};

}  // namespace

IWallpaperSystem& SystemWallpaper() {
    static RegistryWallpaper system;
    return system;
}

}  // namespace pictavo
