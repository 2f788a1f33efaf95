#include "harness/Desktop.h"

#include "platform/Handles.h"

namespace e2e {

std::string Bitmap(unsigned char r, unsigned char g, unsigned char b) {
    const int side = 64, stride = side * 3;
    std::string pixels;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            bool band = ((x + y) / 8) % 2 == 0;
            pixels += static_cast<char>(band ? b : 255 - b);
            pixels += static_cast<char>(band ? g : 255 - g);
            pixels += static_cast<char>(band ? r : 255 - r);
        }
    }
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = side;
    info.biHeight = side;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * side;
    std::string content(reinterpret_cast<const char*>(&file), sizeof(file));
    content.append(reinterpret_cast<const char*>(&info), sizeof(info));
    return content + pixels;
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
