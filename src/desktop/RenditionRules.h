#pragma once
// Which wallpapers the system cannot take as they are: a picture that is not
// a bitmap, and a centred picture larger than the screen while shrinking is
// on, go to the desktop as a bitmap the program renders. Pure, so that it
// also builds natively.
#include <cstdint>
#include <optional>
#include <string_view>

namespace pictavo {

struct PictureExtent {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const PictureExtent&) const = default;
};

struct WallpaperPlan {
    bool render = false;
    // The box the rendition is fitted within, aspect kept; 0 by 0 for full size.
    PictureExtent fitWithin;
    bool operator==(const WallpaperPlan&) const = default;
};

// isBitmap: the file is a bitmap the system takes as it is. bitmapSize: its
// size from its header, when it could be read (only asked for where it counts).
WallpaperPlan PlanWallpaper(bool isBitmap, const std::optional<PictureExtent>& bitmapSize,
                            bool tile, bool shrinkToFit, PictureExtent screen);

// Whether the plan needs the bitmap's size at all: only a centred bitmap
// while shrinking is on. Keeps the plain bitmap path free of file reads.
bool PlanNeedsBitmapSize(bool isBitmap, bool tile, bool shrinkToFit);

// The width and height a bitmap file's headers give (a top-down bitmap's
// height counted as positive); nothing when the bytes are not a bitmap's
// headers. Needs the first 26 bytes of the file.
inline constexpr std::size_t kBitmapHeaderBytes = 26;
std::optional<PictureExtent> BitmapFileExtent(std::string_view firstBytes);

}  // namespace pictavo
