// The decoder's decisions from plain values: which files are pictures, the
// fitted size, the decode cap, the Exif orientation and the size a header states.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/PictureFormats.h"
#include "imaging/PictureRules.h"

namespace pictavo {
namespace {

TEST(PictureFormats, PicturesAreKnownByTheirLastExtensionInAnyCase) {
    struct Case {
        const char* path;
        bool picture, bitmap;
    } cases[] = {
        {"C:\\Pics\\sky.bmp", true, true},    {"sky.BMP", true, true},
        {"a.jpg", true, false},               {"a.JPEG", true, false},
        {"a.Jpe", true, false},               {"a.png", true, false},
        {"a.gif", true, false},               {"a.tif", true, false},
        {"a.TIFF", true, false},              {"a.jpg.txt", false, false},
        {"a.txt.jpg", true, false},           {"a.jfif", false, false},
        {"a.bmpx", false, false},             {"bmp", false, false},
        {"C:\\Pics.jpg\\readme", false, false}, {"", false, false},
        {"a.", false, false},                 {".png", true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsPictureFileName(c.path), c.picture) << c.path;
        EXPECT_EQ(IsBitmapFileName(c.path), c.bitmap) << c.path;
    }
}

TEST(PictureRules, FittingKeepsTheAspectAndNeverEnlarges) {
    struct Case {
        PixelSize picture, box, fitted;
    } cases[] = {
        {{4000, 3000}, {1024, 768}, {1024, 768}},   // same aspect
        {{4000, 3000}, {1920, 1080}, {1440, 1080}}, // height limits
        {{3000, 4000}, {1024, 768}, {576, 768}},    // portrait
        {{4000, 1000}, {1024, 768}, {1024, 256}},   // width limits
        {{800, 600}, {1024, 768}, {800, 600}},      // smaller: as it is
        {{1024, 768}, {1024, 768}, {1024, 768}},    // exactly the box
        {{5000, 3}, {100, 100}, {100, 1}},          // never below one pixel
        {{3, 5000}, {100, 100}, {1, 100}},
        {{4000, 3000}, {0, 0}, {4000, 3000}},       // no box
        {{4000, 3000}, {1000, 0}, {1000, 750}},     // one side free
        {{4000, 3000}, {0, 300}, {400, 300}},
        {{0, 10}, {100, 100}, {0, 10}},             // nothing to fit
        {{4294967295u, 4294967295u}, {1024, 768}, {768, 768}},  // no overflow
        {{1001, 1000}, {100, 100}, {100, 100}},     // rounded to nearest
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitWithin(c.picture, c.box), c.fitted)
            << c.picture.width << "x" << c.picture.height << " in " << c.box.width << "x"
            << c.box.height;
    }
}

TEST(PictureRules, ClampingLimitsEachSideByItself) {
    EXPECT_EQ(ClampWithin({4000, 100}, {600, 170}), (PixelSize{600, 100}));
    EXPECT_EQ(ClampWithin({4000, 3000}, {600, 170}), (PixelSize{600, 170}));
    EXPECT_EQ(ClampWithin({40, 30}, {600, 170}), (PixelSize{40, 30}));
    EXPECT_EQ(ClampWithin({4000, 3000}, {0, 170}), (PixelSize{4000, 170}));
}

TEST(PictureRules, TheDecodeCapLetsA50MegapixelPhotoThroughAndRefusesHugeOnes) {
    EXPECT_FALSE(ExceedsDecodeCap({8688, 5792}));   // a 50-megapixel camera
    EXPECT_FALSE(ExceedsDecodeCap({4000, 3000}));
    EXPECT_TRUE(ExceedsDecodeCap({20000, 20000}));
    EXPECT_TRUE(ExceedsDecodeCap({4294967295u, 4294967295u}));  // no overflow
    EXPECT_FALSE(ExceedsDecodeCap({static_cast<std::uint32_t>(kMaxDecodePixels), 1}));
    EXPECT_TRUE(ExceedsDecodeCap({static_cast<std::uint32_t>(kMaxDecodePixels) + 1, 1}));
    // Held at 4 bytes a pixel it stays well inside a 32-bit program's memory.
    EXPECT_LE(kMaxDecodePixels * 4, 256ull << 20);
}

// The start of a JPEG: SOI, then the given segments, then the start of scan.
std::string Segment(unsigned marker, const std::string& payload) {
    const std::size_t length = payload.size() + 2;
    return std::string{'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8),
                       static_cast<char>(length)} +
           payload;
}
std::string Jpeg(const std::string& segments) {
    return std::string("\xFF\xD8", 2) + segments + std::string("\xFF\xDA\x00\x02", 4) + "scan";
}
std::string Exif(const std::string& tiff) { return Segment(0xE1, std::string("Exif\0\0", 6) + tiff); }
// A TIFF structure with one directory of the given entries (12 bytes each).
std::string Tiff(bool bigEndian, const std::string& entries, std::uint16_t count) {
    std::string t = bigEndian ? std::string("MM\0*\0\0\0\x08", 8) : std::string("II*\0\x08\0\0\0", 8);
    t += bigEndian ? std::string{static_cast<char>(count >> 8), static_cast<char>(count)}
                   : std::string{static_cast<char>(count), static_cast<char>(count >> 8)};
    return t + entries + std::string(4, '\0');
}
std::string Entry(bool bigEndian, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                  std::uint16_t value) {
    auto u16 = [&](std::uint16_t v) {
        return bigEndian ? std::string{static_cast<char>(v >> 8), static_cast<char>(v)}
                         : std::string{static_cast<char>(v), static_cast<char>(v >> 8)};
    };
    auto u32 = [&](std::uint32_t v) {
        return bigEndian ? u16(static_cast<std::uint16_t>(v >> 16)) + u16(static_cast<std::uint16_t>(v))
                         : u16(static_cast<std::uint16_t>(v)) + u16(static_cast<std::uint16_t>(v >> 16));
    };
    return u16(tag) + u16(type) + u32(count) + u16(value) + std::string(2, '\0');
}

TEST(PictureRules, APictureTooLargeForTheMemoryIsToldWithItsSizeWhenKnown) {
    EXPECT_EQ(NotEnoughMemoryText(PixelSize{8688, 5792}),
              "there is not enough memory to show the picture (8688 by 5792 pixels)");
    EXPECT_EQ(NotEnoughMemoryText(PixelSize{}), "there is not enough memory to show the picture");
    EXPECT_EQ(PixelSizeText(PixelSize{40000, 1}), "40000 by 1 pixels");
}

TEST(PictureRules, ExifOrientationIsReadInBothByteOrdersAndIsOneWhenMalformed) {
    const std::string app0 = Segment(0xE0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));
    for (bool big : {true, false}) {
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        for (int o = 1; o <= 8; ++o) {
            const std::string tiff = Tiff(big, Entry(big, 0x0100, 3, 1, 640) +
                                                   Entry(big, 0x0112, 3, 1, static_cast<std::uint16_t>(o)), 2);
            EXPECT_EQ(ExifOrientation(Jpeg(Exif(tiff))), o);
            EXPECT_EQ(ExifOrientation(Jpeg(app0 + Exif(tiff))), o);  // after JFIF
        }
    }
    const std::string six = Tiff(true, Entry(true, 0x0112, 3, 1, 6), 1);
    struct Case {
        const char* what;
        std::string data;
        int expected;
    } cases[] = {
        {"no Exif", Jpeg(app0), 1},
        {"not a JPEG", "\x89PNG" + Exif(six), 1},
        {"empty", "", 1},
        {"only SOI", std::string("\xFF\xD8", 2), 1},
        {"out of range", Jpeg(Exif(Tiff(true, Entry(true, 0x0112, 3, 1, 9), 1))), 1},
        {"zero", Jpeg(Exif(Tiff(true, Entry(true, 0x0112, 3, 1, 0), 1))), 1},
        {"wrong type", Jpeg(Exif(Tiff(true, Entry(true, 0x0112, 4, 1, 6), 1))), 1},
        {"no count", Jpeg(Exif(Tiff(true, Entry(true, 0x0112, 3, 0, 6), 1))), 1},
        {"bad byte order", Jpeg(Exif("XX" + six.substr(2))), 1},
        {"directory past the end", Jpeg(Exif(std::string("MM\0*\x7F\xFF\xFF\xFF", 8))), 1},
        {"more entries than there are", Jpeg(Exif(Tiff(true, Entry(true, 0x0100, 3, 1, 1), 4000))), 1},
        {"cut inside the entry", Jpeg(Exif(six)).substr(0, 2 + 4 + 6 + 8 + 2 + 9), 1},
        {"after the scan", Jpeg("") + Exif(six), 1},
        {"length shorter than itself", std::string("\xFF\xD8\xFF\xE1\x00\x01", 6) + Exif(six), 1},
        {"XMP first, then Exif", Jpeg(Segment(0xE1, "http://ns.adobe.com/xap/1.0/") + Exif(six)), 6},
        {"fill bytes before the marker", std::string("\xFF\xD8\xFF\xFF", 4) + Exif(six).substr(1), 6},
        {"Exif cut short at the file's end", Jpeg(Exif(six)).substr(0, 2 + 4 + 6 + 8 + 2 + 10), 6},
    };
    for (const Case& c : cases) EXPECT_EQ(ExifOrientation(c.data), c.expected) << c.what;
}

TEST(PictureRules, QuarterTurnsSwapTheSidesAndEachPixelComesFromItsStoredPlace) {
    for (int o = 0; o <= 9; ++o) {
        const bool quarter = o >= 5 && o <= 8;
        EXPECT_EQ(OrientedSize({40, 30}, o), (quarter ? PixelSize{30, 40} : PixelSize{40, 30})) << o;
    }
    // Upright 3 x 2 from stored 3 x 2 (1-4) or 2 x 3 (5-8): where the
    // upright top-left and top-right pixels come from.
    struct Case {
        int orientation;
        PixelPoint topLeft, topRight;
    } cases[] = {{1, {0, 0}, {2, 0}}, {2, {2, 0}, {0, 0}}, {3, {2, 1}, {0, 1}}, {4, {0, 1}, {2, 1}},
                 {5, {0, 0}, {0, 2}}, {6, {0, 2}, {0, 0}}, {7, {1, 2}, {1, 0}}, {8, {1, 0}, {1, 2}}};
    for (const Case& c : cases) {
        EXPECT_EQ(StoredPixel({0, 0}, {3, 2}, c.orientation), c.topLeft) << c.orientation;
        EXPECT_EQ(StoredPixel({2, 0}, {3, 2}, c.orientation), c.topRight) << c.orientation;
    }
}

// The flip-rotator's table, run on a small model of what it does (turn
// clockwise, then mirror), puts every pixel where the hand turning does.
TEST(PictureRules, TheFlipRotatorsTableTurnsEveryPixelWhereTheHandTurningDoes) {
    struct Grid {
        std::uint32_t width, height;
        std::vector<int> pixels;  // row by row
        int At(std::uint32_t x, std::uint32_t y) const { return pixels[y * width + x]; }
    };
    const auto turnClockwise = [](const Grid& g) {
        Grid turned{g.height, g.width, std::vector<int>(g.pixels.size())};
        for (std::uint32_t y = 0; y < turned.height; ++y) {
            for (std::uint32_t x = 0; x < turned.width; ++x) {
                turned.pixels[y * turned.width + x] = g.At(y, g.height - 1 - x);
            }
        }
        return turned;
    };
    // Stored 2 wide and 3 high, every pixel its own.
    const Grid stored{2, 3, {0, 1, 2, 3, 4, 5}};
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE(o);
        const UprightTransform& t = kUprightTransforms[o];
        Grid model = stored;
        for (unsigned q = 0; q < t.clockwiseQuarters; ++q) model = turnClockwise(model);
        Grid mirrored = model;
        for (std::uint32_t y = 0; y < model.height; ++y) {
            for (std::uint32_t x = 0; x < model.width; ++x) {
                const std::uint32_t fromX = t.mirrorLeftRight ? model.width - 1 - x : x;
                const std::uint32_t fromY = t.mirrorTopBottom ? model.height - 1 - y : y;
                mirrored.pixels[y * model.width + x] = model.At(fromX, fromY);
            }
        }
        const PixelSize upright = OrientedSize({stored.width, stored.height}, o);
        ASSERT_EQ(mirrored.width, upright.width);
        ASSERT_EQ(mirrored.height, upright.height);
        for (std::uint32_t y = 0; y < upright.height; ++y) {
            for (std::uint32_t x = 0; x < upright.width; ++x) {
                const PixelPoint from = StoredPixel({x, y}, upright, o);
                EXPECT_EQ(mirrored.At(x, y), stored.At(from.x, from.y)) << x << "," << y;
            }
        }
    }
}

TEST(PictureRules, TheHeaderStatesTheSizeOfEachKindOrNothing) {
    std::string png("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x4E\x20\0\0\x27\x10", 24);
    std::string gif("GIF89a\x20\x03\x58\x02", 10);
    std::string bmp(26, '\0');
    bmp[0] = 'B', bmp[1] = 'M', bmp[14] = 40;
    bmp[18] = '\x20', bmp[19] = '\x03', bmp[22] = '\x38', bmp[23] = '\xFF', bmp[24] = '\xFF', bmp[25] = '\xFF';
    std::string os2(22, '\0');
    os2[0] = 'B', os2[1] = 'M', os2[14] = 12, os2[18] = 5, os2[20] = 7;
    const std::string sof = Segment(0xC2, std::string("\x08\x0B\xB8\x0F\xA0\x03", 6));
    const std::string dht = Segment(0xC4, std::string(20, '\0'));
    struct Case {
        const char* what;
        std::string data;
        std::optional<PixelSize> size;
    } cases[] = {
        {"PNG", png, PixelSize{20000, 10000}},
        {"PNG cut short", png.substr(0, 20), std::nullopt},
        {"GIF", gif, PixelSize{800, 600}},
        {"bitmap, top-down", bmp, PixelSize{800, 200}},
        {"OS/2 bitmap", os2, PixelSize{5, 7}},
        {"JPEG after its tables", Jpeg(dht + sof), PixelSize{4000, 3000}},
        {"JPEG without a frame", Jpeg(dht), std::nullopt},
        {"JPEG frame cut short", Jpeg("").substr(0, 2) + sof.substr(0, 7), std::nullopt},
        {"TIFF", std::string("II*\0", 4), std::nullopt},
        {"text", "hello", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(HeaderPixelSize(c.data), c.size) << c.what;
}

}  // namespace
}  // namespace pictavo
