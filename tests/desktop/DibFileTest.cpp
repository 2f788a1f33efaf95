// Clipboard bitmaps to bitmap files: every common depth, both row orders, and
// headers whose sizes cannot be true.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "desktop/DibFile.h"

namespace pictavo {
namespace {

void Put32(std::string& b, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}
void Put16(std::string& b, size_t at, std::uint16_t v) {
    b[at] = static_cast<char>(v);
    b[at + 1] = static_cast<char>(v >> 8);
}
std::uint32_t Get32(const std::string& b, size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

// A packed bitmap with a 40-byte header; the pixels are a counting pattern.
std::string Dib(std::int32_t width, std::int32_t height, unsigned bits, std::uint32_t compression,
                std::uint32_t coloursUsed, size_t colourBytes, size_t pixelBytes) {
    std::string dib(40, '\0');
    Put32(dib, 0, 40);
    Put32(dib, 4, static_cast<std::uint32_t>(width));
    Put32(dib, 8, static_cast<std::uint32_t>(height));
    Put16(dib, 12, 1);
    Put16(dib, 14, static_cast<std::uint16_t>(bits));
    Put32(dib, 16, compression);
    Put32(dib, 32, coloursUsed);
    for (size_t i = 0; i < colourBytes + pixelBytes; ++i) dib += static_cast<char>(i * 7 + 1);
    return dib;
}

TEST(DibFile, EveryCommonDepthBecomesAFileWithTheRightOffsetAndSizes) {
    struct Case {
        unsigned bits;
        std::uint32_t compression;
        std::uint32_t coloursUsed;
        size_t colourBytes;  // masks and colour table after the header
        std::int32_t height;
    } cases[] = {
        {1, 0, 0, 2 * 4, 5},    {4, 0, 0, 16 * 4, 5},  {8, 0, 0, 256 * 4, 5},
        {8, 0, 3, 3 * 4, -5},   {16, 3, 0, 12, 5},     {16, 3, 0, 12, -5},
        {24, 0, 0, 0, 5},       {24, 0, 0, 0, -5},     {32, 0, 0, 0, 5},
        {32, 3, 0, 12, -5},     {16, 0, 0, 0, 5},
    };
    const std::int32_t width = 3;
    for (const Case& c : cases) {
        const std::uint64_t stride = (width * c.bits + 31) / 32 * 4;
        const size_t pixels = static_cast<size_t>(stride * 5);
        std::string dib = Dib(width, c.height, c.bits, c.compression, c.coloursUsed, c.colourBytes,
                              pixels);
        const std::string exact = dib;
        dib += std::string(20, 'x');  // the clipboard's rounding: not carried over
        const auto file = BitmapFileFromDib(dib);
        ASSERT_TRUE(file) << c.bits << " bits";
        EXPECT_EQ(file->substr(0, 2), "BM");
        EXPECT_EQ(Get32(*file, 2), file->size());
        EXPECT_EQ(Get32(*file, 10), 14 + 40 + c.colourBytes) << c.bits << " bits";
        EXPECT_EQ(file->size(), 14 + exact.size());
        EXPECT_EQ(Get32(*file, 14 + 20), pixels);  // the stated pixel size
        // Everything but the stated pixel size is the clipboard's bitmap unchanged.
        std::string body = file->substr(14);
        Put32(body, 20, 0);
        EXPECT_EQ(body, exact) << c.bits << " bits";
    }
}

TEST(DibFile, HeadersThatCannotBeTrueAreRefused) {
    const std::int32_t huge = std::numeric_limits<std::int32_t>::max();
    struct Case {
        const char* what;
        std::string dib;
    } cases[] = {
        {"empty", ""},
        {"short header", std::string("\x28\0\0\0\x01", 5)},
        {"unknown header size", [] {
             std::string d = Dib(1, 1, 24, 0, 0, 0, 4);
             Put32(d, 0, 41);
             return d;
         }()},
        {"zero width", Dib(0, 1, 24, 0, 0, 0, 4)},
        {"negative width", Dib(-4, 1, 24, 0, 0, 0, 4)},
        {"zero height", Dib(1, 0, 24, 0, 0, 0, 4)},
        {"two bits", Dib(1, 1, 2, 0, 0, 16, 4)},
        {"run-length coded", Dib(1, 1, 8, 1, 0, 1024, 4)},
        {"bit fields at 24 bits", Dib(1, 1, 24, 3, 0, 12, 4)},
        {"more colours than the depth has", Dib(1, 1, 8, 0, 257, 257 * 4, 4)},
        {"pixels missing", Dib(4, 4, 24, 0, 0, 0, 47)},
        {"colour table missing", Dib(1, 1, 8, 0, 0, 100, 0)},
        // Sizes that wrap in 32 bits: the stride times the rows is 2^32 + a little.
        {"rows that wrap 32 bits", Dib(huge, 2, 32, 0, 0, 0, 64)},
        {"width that wraps 32 bits", Dib(0x40000001, 1, 32, 0, 0, 0, 64)},
        {"top-down by the smallest number", Dib(1, std::numeric_limits<std::int32_t>::min(), 24, 0, 0, 0, 64)},
        {"absurdly large", Dib(20000, 20000, 32, 0, 0, 0, 64)},
    };
    for (const Case& c : cases) EXPECT_FALSE(BitmapFileFromDib(c.dib)) << c.what;
}

TEST(DibFile, PixelBytesAreComputedWithoutWrapping) {
    EXPECT_EQ(DibPixelBytes(3, 5, 24), 12u * 5);
    EXPECT_EQ(DibPixelBytes(3, -5, 1), 4u * 5);
    EXPECT_EQ(DibPixelBytes(0x7fffffff, 0x7fffffff, 32), 4ull * 0x7fffffff * 0x7fffffff);
    EXPECT_EQ(DibPixelBytes(0, 5, 24), 0u);
    // Rows are padded to whole four-byte words, at one bit a pixel too.
    const std::pair<int, std::uint64_t> rows[] = {{1, 4}, {32, 4}, {33, 8}, {65, 12}};
    for (const auto& [width, bytes] : rows) {
        EXPECT_EQ(DibPixelBytes(width, 1, 1), bytes) << width << " pixels";
    }
}

}  // namespace
}  // namespace pictavo
