#pragma once
// The system's wallpaper values in memory, with a log of the calls made.
#include <set>
#include <string>
#include <vector>

#include "desktop/WallpaperSystem.h"
#include "platform/Paths.h"

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
    // Paths the system refuses (lower case), and the reason it gives.
    std::set<std::string> refused;
    DWORD refusal = ERROR_FILE_NOT_FOUND;

    std::optional<DesktopValues> ReadDesktop() override {
        if (!keysExist) return std::nullopt;
        return DesktopValues{wallpaper, tileWallpaper};
    }
    bool WriteTile(bool tile) override {
        if (!keysExist) return false;
        tileWallpaper = tile ? "1" : "0";
        return true;
    }
    bool SetDeskWallpaper(const std::string& path, UINT fWinIni, DWORD& error) override {
        calls.push_back({path, fWinIni});
        if (refused.count(LowerCase(path))) {
            error = refusal;
            return false;
        }
        // As the system does: only a persisted change reaches the user profile.
        if (fWinIni & SPIF_UPDATEINIFILE) wallpaper = path;
        return true;
    }
};

}  // namespace pictavo::testing
