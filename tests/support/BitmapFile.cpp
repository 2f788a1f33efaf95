#include "support/BitmapFile.h"

#include <windows.h>

namespace pictavo::testing {

std::string Bitmap24(int width, int height,
                     const std::function<std::uint32_t(int x, int y)>& colour) {
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::string pixels(stride * static_cast<size_t>(height), '\0');
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colour(x, y);
            char* p = &pixels[static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3];
            p[0] = static_cast<char>(c);  // blue first
            p[1] = static_cast<char>(c >> 8);
            p[2] = static_cast<char>(c >> 16);
        }
    }
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    std::string content(reinterpret_cast<const char*>(&file), sizeof(file));
    content.append(reinterpret_cast<const char*>(&info), sizeof(info));
    return content + pixels;
}

std::string Bitmap24(int width, int height, std::uint32_t colour) {
    return Bitmap24(width, height, [colour](int, int) { return colour; });
}

}  // namespace pictavo::testing
