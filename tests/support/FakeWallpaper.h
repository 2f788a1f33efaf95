#pragma once
// The system's wallpaper values in memory, with a log of the calls made.
#include <string>
#include <vector>

#include "desktop/WallpaperSystem.h"

namespace pictavo::testing {

class FakeWallpaper final : public IWallpaperSystem {
public:
    bool keysExist = true;
    std::string wallpaper;      // "WALLPAPER"
    std::string tileWallpaper;  // "TILEWALLPAPER"
    struct Call {
        std::string path;
        UINT fWinIni;
    };
    std::vector<Call> calls;

    std::optional<DesktopValues> ReadDesktop() override {
        if (!keysExist) return std::nullopt;
        return DesktopValues{wallpaper, tileWallpaper};
    }
    bool WriteTile(bool tile) override {
        if (!keysExist) return false;
        tileWallpaper = tile ? "1" : "0";
        return true;
    }
    void SetDeskWallpaper(const std::string& path, UINT fWinIni) override {
        calls.push_back({path, fWinIni});
        // As the system does: only a persisted change reaches the user profile.
        if (fWinIni & SPIF_UPDATEINIFILE) wallpaper = path;
    }
};

}  // namespace pictavo::testing
