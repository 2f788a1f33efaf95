// The clipboard's bitmap handle read as a packed device-independent bitmap, at
// every depth it may have: the colour table and the pixels come back where a
// bitmap file expects them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "desktop/BitmapDib.h"
#include "desktop/DibFile.h"

namespace pictavo {
namespace {

constexpr int kWidth = 5, kHeight = 3;

// The value of pixel (x, y), y counted from the top: a colour index up to 8
// bits, else a colour as 0x00RRGGBB.
std::uint32_t Value(int x, int y, unsigned bits) {
    const std::uint32_t n = static_cast<std::uint32_t>(y * kWidth + x);
    if (bits <= 8) return (n * 7 + 3) % (1u << bits);
    return (n * 0x2F1B07u + 0x103050u) & 0xFFFFFFu;
}

// Colour table entry i: each one a colour of its own.
RGBQUAD Colour(unsigned i) {
    return RGBQUAD{static_cast<BYTE>(i * 3 + 1), static_cast<BYTE>(255 - i),
                   static_cast<BYTE>(i * 11 + 7), 0};
}

// Pixel x of a row: the first pixel in the high bits of a byte, colours blue first.
void PutPixel(unsigned char* row, int x, unsigned bits, std::uint32_t value) {
    if (bits <= 8) {
        row[x * bits / 8] |= static_cast<unsigned char>(value << (8 - bits - (x * bits) % 8));
        return;
    }
    for (unsigned b = 0; b < 3; ++b) {
        row[x * bits / 8 + b] = static_cast<unsigned char>(value >> (8 * b));
    }
}
std::uint32_t GetPixel(const unsigned char* row, int x, unsigned bits) {
    if (bits <= 8) return (row[x * bits / 8] >> (8 - bits - (x * bits) % 8)) & ((1u << bits) - 1);
    return row[x * bits / 8] | row[x * bits / 8 + 1] << 8 | row[x * bits / 8 + 2] << 16;
}

struct Deleted {
    HGDIOBJ object;
    ~Deleted() { ::DeleteObject(object); }
};

// Up to 8 bits, a bitmap with a colour table of its own: Wine answers a
// device-dependent bitmap of 4 or 8 bits with its default colours, whatever
// palette is selected, where Windows gives the palette's. Deeper ones as
// the clipboard mostly holds them, device-dependent: rows top-down, padded
// to two bytes.
HBITMAP MakeBitmap(unsigned bits) {
    if (bits <= 8) {
        const unsigned colours = 1u << bits;
        std::vector<char> bytes(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
        auto* info = reinterpret_cast<BITMAPINFO*>(bytes.data());
        info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info->bmiHeader.biWidth = kWidth;
        info->bmiHeader.biHeight = kHeight;
        info->bmiHeader.biPlanes = 1;
        info->bmiHeader.biBitCount = static_cast<WORD>(bits);
        info->bmiHeader.biCompression = BI_RGB;
        for (unsigned i = 0; i < colours; ++i) info->bmiColors[i] = Colour(i);
        void* pixels = nullptr;
        HBITMAP bitmap = ::CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        if (!bitmap) return nullptr;
        const size_t stride = static_cast<size_t>(DibPixelBytes(kWidth, 1, bits));
        auto* rows = static_cast<unsigned char*>(pixels);
        std::memset(rows, 0, stride * kHeight);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                PutPixel(rows + (kHeight - 1 - y) * stride, x, bits, Value(x, y, bits));
            }
        }
        return bitmap;
    }
    const size_t stride = (kWidth * bits + 15) / 16 * 2;
    std::vector<unsigned char> rows(stride * kHeight, 0);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) PutPixel(&rows[y * stride], x, bits, Value(x, y, bits));
    }
    return ::CreateBitmap(kWidth, kHeight, 1, bits, rows.data());
}

TEST(BitmapDib, EveryDepthComesBackWithItsColoursAndPixels) {
    for (const unsigned bits : {1u, 4u, 8u, 24u, 32u}) {
        SCOPED_TRACE(std::to_string(bits) + " bits");
        HBITMAP bitmap = MakeBitmap(bits);
        ASSERT_NE(bitmap, nullptr);
        Deleted gone{bitmap};

        const std::optional<std::string> dib = DibFromBitmap(bitmap, nullptr);
        ASSERT_TRUE(dib);
        BITMAPINFOHEADER header{};
        ASSERT_GE(dib->size(), sizeof(header));
        std::memcpy(&header, dib->data(), sizeof(header));
        EXPECT_EQ(header.biSize, sizeof(header));
        EXPECT_EQ(header.biWidth, kWidth);
        EXPECT_EQ(header.biHeight, kHeight);
        EXPECT_EQ(header.biBitCount, bits);
        EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
        const size_t colours = header.biClrUsed ? header.biClrUsed : bits <= 8 ? 1u << bits : 0;
        const size_t pixelsAt = sizeof(header) + colours * sizeof(RGBQUAD);
        ASSERT_EQ(dib->size(), pixelsAt + DibPixelBytes(kWidth, kHeight, bits));

        const auto* table = reinterpret_cast<const RGBQUAD*>(dib->data() + sizeof(header));
        for (unsigned i = 0; i < colours; ++i) {
            const RGBQUAD want = Colour(i);
            EXPECT_EQ(std::memcmp(&table[i], &want, 3), 0) << "colour " << i;
        }
        // Rows bottom-up, padded to four bytes.
        const size_t stride = static_cast<size_t>(DibPixelBytes(kWidth, 1, bits));
        const auto* rows = reinterpret_cast<const unsigned char*>(dib->data() + pixelsAt);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                EXPECT_EQ(GetPixel(rows + (kHeight - 1 - y) * stride, x, bits), Value(x, y, bits))
                    << "pixel " << x << ", " << y;
            }
        }
        EXPECT_TRUE(BitmapFileFromDib(*dib));
    }
}

}  // namespace
}  // namespace pictavo
