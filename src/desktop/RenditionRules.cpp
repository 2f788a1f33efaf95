#include "desktop/RenditionRules.h"

namespace pictavo {
namespace {

std::uint32_t Little(std::string_view bytes, std::size_t at, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = count; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

}  // namespace

bool PlanNeedsBitmapSize(bool isBitmap, bool tile, bool shrinkToFit) {
    return isBitmap && !tile && shrinkToFit;
}

WallpaperPlan PlanWallpaper(bool isBitmap, const std::optional<PictureExtent>& bitmapSize,
                            bool tile, bool shrinkToFit, PictureExtent screen) {
    // Tiled pictures are never scaled.
    const bool fit = !tile && shrinkToFit && screen.width > 0 && screen.height > 0;
    if (!isBitmap) return WallpaperPlan{true, fit ? screen : PictureExtent{}};
    if (!fit || !bitmapSize) return {};
    if (bitmapSize->width <= screen.width && bitmapSize->height <= screen.height) return {};
    return WallpaperPlan{true, screen};
}

std::optional<PictureExtent> BitmapFileExtent(std::string_view bytes) {
    if (bytes.size() < kBitmapHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t infoSize = Little(bytes, 14, 4);
    std::int64_t width = 0, height = 0;
    if (infoSize == 12) {  // the OS/2 core header: 16-bit sizes
        width = static_cast<std::int16_t>(Little(bytes, 18, 2));
        height = static_cast<std::int16_t>(Little(bytes, 20, 2));
    } else if (infoSize >= 40) {
        width = static_cast<std::int32_t>(Little(bytes, 18, 4));
        height = static_cast<std::int32_t>(Little(bytes, 22, 4));
    } else {
        return std::nullopt;
    }
    if (height < 0) height = -height;  // top-down
    if (width <= 0 || height <= 0 || height > INT32_MAX) return std::nullopt;
    return PictureExtent{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
}

}  // namespace pictavo
