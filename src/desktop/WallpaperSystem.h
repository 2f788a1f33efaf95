#pragma once
// The system's side of the desktop wallpaper: the current user's "Control
// Panel\Desktop" values and the wallpaper call. Behind an interface so that
// unit tests can watch what the program hands to the system.
#include <windows.h>

#include <optional>
#include <string>

namespace pictavo {

class IWallpaperSystem {
public:
    virtual ~IWallpaperSystem() = default;
    struct DesktopValues {
        std::string wallpaper;      // "WALLPAPER" as stored
        std::string tileWallpaper;  // "TILEWALLPAPER" as stored (empty when missing)
    };
    // Empty when the keys cannot be opened (they are never created).
    virtual std::optional<DesktopValues> ReadDesktop() = 0;
    // Writes "TILEWALLPAPER"; false when the keys cannot be opened.
    virtual bool WriteTile(bool tile) = 0;
    // SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path, fWinIni). True when
    // the system took it; otherwise `error` holds its reason (0 when it gave none).
    virtual bool SetDeskWallpaper(const std::string& path, UINT fWinIni, DWORD& error) = 0;
};

// The real registry and system call.
IWallpaperSystem& SystemWallpaper();

}  // namespace pictavo
