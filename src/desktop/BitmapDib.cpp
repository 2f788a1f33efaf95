#include "desktop/BitmapDib.h"

#include <cstdint>

#include "desktop/DibFile.h"
#include "platform/Handles.h"

namespace pictavo {

std::optional<std::string> DibFromBitmap(HBITMAP bitmap, HPALETTE palette) {
    BITMAP info{};
    if (!::GetObjectA(bitmap, sizeof(info), &info)) return std::nullopt;
    const unsigned depth = static_cast<unsigned>(info.bmBitsPixel) * info.bmPlanes;
    const unsigned bits = depth <= 1 ? 1 : depth <= 4 ? 4 : depth <= 8 ? 8 : depth == 32 ? 32 : 24;
    const std::uint64_t pixels = DibPixelBytes(info.bmWidth, info.bmHeight, bits);
    if (pixels == 0 || pixels > kMaxDibPixelBytes) return std::nullopt;
    const size_t colours = bits <= 8 ? (size_t{1} << bits) : 0;
    const size_t headerBytes = sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD);
    std::string dib(headerBytes + static_cast<size_t>(pixels), '\0');
    auto* header = reinterpret_cast<BITMAPINFO*>(dib.data());
    header->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header->bmiHeader.biWidth = info.bmWidth;
    header->bmiHeader.biHeight = info.bmHeight;
    header->bmiHeader.biPlanes = 1;
    header->bmiHeader.biBitCount = static_cast<WORD>(bits);
    header->bmiHeader.biCompression = BI_RGB;

    MemoryDC memory(WindowDC(nullptr).Get());
    HDC dc = memory.Get();
    if (!dc) return std::nullopt;
    HPALETTE oldPalette = nullptr;
    if (palette) {
        oldPalette = ::SelectPalette(dc, palette, FALSE);
        ::RealizePalette(dc);
    }
    const int rows = ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight),
                                 dib.data() + headerBytes, header, DIB_RGB_COLORS);
    if (palette) ::SelectPalette(dc, oldPalette, FALSE);
    if (rows != info.bmHeight) return std::nullopt;
    return dib;
}

}  // namespace pictavo
