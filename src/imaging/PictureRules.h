#pragma once
// What the decoder decides from plain values: the size a picture is fitted to,
// the largest picture it decodes, the orientation a camera wrote into a JPEG,
// and a picture's size as its file header states it. No Windows header, so it
// is tested, fuzzed and built natively too.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pictavo {

struct PixelSize {
    std::uint32_t width = 0, height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// The picture scaled to fit the box, its aspect kept, never enlarged, each
// side at least 1. A side of 0 in the box sets no limit on that side, so a
// box of {0, 0} leaves the picture as it is.
PixelSize FitWithin(PixelSize picture, PixelSize box);

// The picture made no larger than the box on each side by itself, its aspect
// not kept: the size to decode a picture at that is then stretched to fill
// the box. A side of 0 in the box sets no limit on that side.
PixelSize ClampWithin(PixelSize picture, PixelSize box);

// How a decode fits a picture to its box: FitWithin or ClampWithin.
using FitRule = PixelSize (*)(PixelSize picture, PixelSize box);

// The most pixels decoded at full size. A decoded picture is held at up to
// 4 bytes a pixel, and the shipped program has a 2 GB address space shared
// with everything else it holds: 50 Mi pixels (200 MiB at 32 bits) lets a
// 50-megapixel camera's photo (8,688 x 5,792) through and refuses what
// would not fit, such as a 20,000 x 20,000 PNG (1.6 GB) that is a small file.
inline constexpr std::uint64_t kMaxDecodePixels = 50ull * 1024 * 1024;
bool ExceedsDecodeCap(PixelSize size);

// "8688 by 5792 pixels".
std::string PixelSizeText(PixelSize size);
// Why a picture too large for the memory left is not shown: "there is not
// enough memory to show the picture (8688 by 5792 pixels)", without the size
// when it is not known.
std::string NotEnoughMemoryText(PixelSize size);

// EXIF orientation (tag 0x0112 of the first image directory) from the start
// of a JPEG file: 1 (upright) to 8; 1 when there is none or the data is
// malformed. Reads only what lies inside fileStart.
int ExifOrientation(std::string_view fileStart);

// The size shown after the orientation is applied: 5 to 8 turn the picture
// a quarter, so its sides swap. The same call turns an upright size back.
PixelSize OrientedSize(PixelSize stored, int orientation);

// For a pixel (x, y) of the upright picture of size `upright`, the pixel of
// the stored picture it is taken from.
struct PixelPoint {
    std::uint32_t x = 0, y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};
PixelPoint StoredPixel(PixelPoint upright, PixelSize uprightSize, int orientation);

// The same orientations as a flip-rotator (WIC's) takes them: the stored
// picture is turned clockwise by a number of quarters first, then mirrored.
// Indexed by orientation; 0 and 1 leave the picture as it is. Where the
// rotator refuses, StoredPixel turns the picture by hand: both must agree.
struct UprightTransform {
    unsigned clockwiseQuarters = 0;  // 0 to 3
    bool mirrorLeftRight = false;
    bool mirrorTopBottom = false;
};
inline constexpr UprightTransform kUprightTransforms[9] = {
    {0, false, false},  // no orientation
    {0, false, false},  // 1: upright
    {0, true, false},   // 2: mirrored left to right
    {2, false, false},  // 3: turned half round
    {0, false, true},   // 4: mirrored top to bottom
    {1, true, false},   // 5: mirrored along the main diagonal
    {1, false, false},  // 6: to be turned a quarter clockwise
    {3, true, false},   // 7: mirrored along the other diagonal
    {3, false, false},  // 8: to be turned a quarter anticlockwise
};

// The first frame's size as the header of a PNG, GIF, bitmap or JPEG file
// states it, before any decoder sees the file; nothing for other or
// malformed data. Lets a huge picture be refused even where a codec would
// allocate its whole image as it opens the file.
std::optional<PixelSize> HeaderPixelSize(std::string_view fileStart);

}  // namespace pictavo
