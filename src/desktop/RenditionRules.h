#pragma once
// Which wallpapers the system cannot take as they are: a picture that is not
// a bitmap, and a centred picture larger than the screen while shrinking is
// on, go to the desktop as a bitmap the program renders. Pure, so that it
// also builds natively.
#include <optional>

#include "imaging/PictureRules.h"

namespace pictavo {

struct WallpaperPlan {
    bool render = false;
    // The box the rendition is fitted within, aspect kept; 0 by 0 for full size.
    PixelSize fitWithin;
    friend bool operator==(const WallpaperPlan&, const WallpaperPlan&) = default;
};

// isBitmap: the file is a bitmap the system takes as it is. bitmapSize: its
// size from its header, when it could be read (only asked for where it counts).
WallpaperPlan PlanWallpaper(bool isBitmap, const std::optional<PixelSize>& bitmapSize, bool tile,
                            bool shrinkToFit, PixelSize screen);

// Whether the plan needs the bitmap's size at all: only a centred bitmap
// while shrinking is on. Keeps the plain bitmap path free of file reads.
bool PlanNeedsBitmapSize(bool isBitmap, bool tile, bool shrinkToFit);

}  // namespace pictavo
