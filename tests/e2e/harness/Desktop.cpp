#include "harness/Desktop.h"

#include "platform/Handles.h"
#include "support/BitmapFile.h"

namespace e2e {

std::string Bitmap(unsigned char r, unsigned char g, unsigned char b) {
    const std::uint32_t colour = r << 16 | g << 8 | b;
    return pictavo::testing::Bitmap24(64, 64, [colour](int x, int y) {
        return ((x + y) / 8) % 2 == 0 ? colour : ~colour & 0xFFFFFFu;
    });
}

std::string DesktopValue(const char* name) {
    pictavo::UniqueHKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE,
                        key.Put()) != ERROR_SUCCESS) {
        return "<no key>";
    }
    char value[1024] = {};
    DWORD size = sizeof(value), type = 0;
    if (::RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value),
                           &size) != ERROR_SUCCESS) {
        return "<missing>";
    }
    return value;
}

void SetDesktopWallpaper(const std::string& path, bool notify) {
    std::string value = path;
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, value.data(),
                            SPIF_UPDATEINIFILE | (notify ? SPIF_SENDWININICHANGE : 0));
}

}  // namespace e2e
