#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "desktop/RenditionRules.h"

namespace pictavo {
namespace {

TEST(RenditionRules, WhichWallpapersAreRenderedAndWhatTheyAreFittedTo) {
    const PictureExtent screen{1024, 768};
    const PictureExtent full{};
    const struct {
        const char* what;
        bool isBitmap;
        std::optional<PictureExtent> size;
        bool tile, shrink;
        WallpaperPlan plan;
    } cases[] = {
        {"photo, centred", false, std::nullopt, false, true, {true, screen}},
        {"photo, tiled", false, std::nullopt, true, true, {true, full}},
        {"photo, shrinking off", false, std::nullopt, false, false, {true, full}},
        {"bitmap as large as the screen", true, PictureExtent{1024, 768}, false, true, {}},
        {"bitmap wider", true, PictureExtent{1025, 10}, false, true, {true, screen}},
        {"bitmap taller", true, PictureExtent{10, 769}, false, true, {true, screen}},
        {"large bitmap, tiled", true, PictureExtent{4000, 3000}, true, true, {}},
        {"large bitmap, shrinking off", true, PictureExtent{4000, 3000}, false, false, {}},
        {"bitmap whose header cannot be read", true, std::nullopt, false, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(PlanWallpaper(c.isBitmap, c.size, c.tile, c.shrink, screen), c.plan);
        // Only the centred bitmap while shrinking costs a look at its header.
        EXPECT_EQ(PlanNeedsBitmapSize(c.isBitmap, c.tile, c.shrink),
                  c.isBitmap && !c.tile && c.shrink);
    }
    // A screen of no size (as a display in change may report) fits nothing.
    EXPECT_EQ(PlanWallpaper(false, std::nullopt, false, true, {}), (WallpaperPlan{true, full}));
    EXPECT_EQ(PlanWallpaper(true, PictureExtent{4000, 3000}, false, true, {}), WallpaperPlan{});
}

std::string Headers(std::uint32_t infoSize, std::int64_t width, std::int64_t height) {
    std::string bytes = "BM" + std::string(12, '\0');
    auto put = [&bytes](std::uint64_t value, int count) {
        for (int i = 0; i < count; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    put(infoSize, 4);
    const int field = infoSize == 12 ? 2 : 4;
    put(static_cast<std::uint64_t>(width), field);
    put(static_cast<std::uint64_t>(height), field);
    bytes.resize(54, '\0');
    return bytes;
}

TEST(RenditionRules, BitmapSizeComesFromItsHeadersOrNotAtAll) {
    using E = PictureExtent;
    const struct {
        const char* what;
        std::string bytes;
        std::optional<E> extent;
    } cases[] = {
        {"bottom-up", Headers(40, 4000, 3000), E{4000, 3000}},
        {"top-down", Headers(40, 640, -480), E{640, 480}},
        {"version 5 header", Headers(124, 1, 1), E{1, 1}},
        {"core header", Headers(12, 300, 200), E{300, 200}},
        {"not a bitmap", "\xFF\xD8\xFF\xE0" + Headers(40, 1, 1).substr(4), std::nullopt},
        {"cut short", Headers(40, 4000, 3000).substr(0, 25), std::nullopt},
        {"unknown header size", Headers(20, 4000, 3000), std::nullopt},
        {"no width", Headers(40, 0, 10), std::nullopt},
        {"negative width", Headers(40, -5, 10), std::nullopt},
        {"height that cannot be turned", Headers(40, 10, INT32_MIN), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(BitmapFileExtent(c.bytes), c.extent);
    }
}

}  // namespace
}  // namespace pictavo
