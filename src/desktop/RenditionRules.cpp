#include "desktop/RenditionRules.h"

namespace pictavo {

bool PlanNeedsBitmapSize(bool isBitmap, bool tile, bool shrinkToFit) {
    return isBitmap && !tile && shrinkToFit;
}

WallpaperPlan PlanWallpaper(bool isBitmap, const std::optional<PixelSize>& bitmapSize, bool tile,
                            bool shrinkToFit, PixelSize screen) {
    // Tiled pictures are never scaled.
    const bool fit = !tile && shrinkToFit && screen.width > 0 && screen.height > 0;
    if (!isBitmap) return WallpaperPlan{true, fit ? screen : PixelSize{}};
    if (!fit || !bitmapSize) return {};
    if (bitmapSize->width <= screen.width && bitmapSize->height <= screen.height) return {};
    return WallpaperPlan{true, screen};
}

}  // namespace pictavo
