#include <gtest/gtest.h>

#include <optional>

#include "desktop/RenditionRules.h"

namespace pictavo {
namespace {

TEST(RenditionRules, WhichWallpapersAreRenderedAndWhatTheyAreFittedTo) {
    const PixelSize screen{1024, 768};
    const PixelSize full{};
    const struct {
        const char* what;
        bool isBitmap;
        std::optional<PixelSize> size;
        bool tile, shrink;
        WallpaperPlan plan;
    } cases[] = {
        {"photo, centred", false, std::nullopt, false, true, {true, screen}},
        {"photo, tiled", false, std::nullopt, true, true, {true, full}},
        {"photo, shrinking off", false, std::nullopt, false, false, {true, full}},
        {"bitmap as large as the screen", true, PixelSize{1024, 768}, false, true, {}},
        {"bitmap wider", true, PixelSize{1025, 10}, false, true, {true, screen}},
        {"bitmap taller", true, PixelSize{10, 769}, false, true, {true, screen}},
        {"large bitmap, tiled", true, PixelSize{4000, 3000}, true, true, {}},
        {"large bitmap, shrinking off", true, PixelSize{4000, 3000}, false, false, {}},
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
    EXPECT_EQ(PlanWallpaper(true, PixelSize{4000, 3000}, false, true, {}), WallpaperPlan{});
}

}  // namespace
}  // namespace pictavo
