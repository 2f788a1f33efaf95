// The preview page's decisions from plain values: texts, status images, the
// preview limit, the stored size of huge files and the keys' modifier rule.
#include <gtest/gtest.h>

#include <cstdint>

#include "inventory/ListingLimits.h"
#include "preview/PreviewRules.h"

namespace pictavo {
namespace {

TEST(PreviewRules, StatusImagesAtTheirIndices) {
    EXPECT_EQ(EnabledImageIndex(true, false), 1);
    EXPECT_EQ(EnabledImageIndex(true, true), 2);
    EXPECT_EQ(EnabledImageIndex(false, true), 3);
    EXPECT_EQ(EnabledImageIndex(false, false), 0);
    EXPECT_EQ(TileImageIndex(true), 5);
    EXPECT_EQ(TileImageIndex(false), 6);
}

TEST(PreviewRules, PreviewLimitLetsExactlyTheLimitThrough) {
    EXPECT_FALSE(OverPreviewLimit(250000, true, 250));
    EXPECT_TRUE(OverPreviewLimit(250001, true, 250));
    EXPECT_FALSE(OverPreviewLimit(300000, false, 250));
    EXPECT_TRUE(OverPreviewLimit(1, true, 0));
    // The largest limit times 1000 does not wrap.
    EXPECT_FALSE(OverPreviewLimit(32000000, true, 32000));
}

TEST(PreviewRules, Texts) {
    EXPECT_EQ(ClickToPreviewText("sky.bmp", 300000), "Click Here to Preview sky.bmp (300K)");
    EXPECT_EQ(ClickToPreviewText("a.bmp", 999), "Click Here to Preview a.bmp (0K)");
    EXPECT_EQ(UnableToPreviewText("x.bmp"), "Unable to preview x.bmp");
    EXPECT_EQ(NotEnoughMemoryToPreviewText("x.jpg", PixelSize{8688, 5792}),
              "Not enough memory to show 8688 by 5792 pixels");
    EXPECT_EQ(NotEnoughMemoryToPreviewText("x.jpg", PixelSize{}), "Not enough memory to show x.jpg");
    struct Case {
        std::int64_t size;
        const char* text;
    } cases[] = {{0, "0"},         {7, "7"},           {999, "999"},
                 {1000, "1,000"},  {123456, "123,456"}, {1234567, "1,234,567"},
                 {2147483647, "2,147,483,647"}, {-1234, "-1,234"}};
    for (const Case& c : cases) EXPECT_EQ(FormatSize(c.size), c.text) << c.size;
}

TEST(PreviewRules, SizesOfTwoGibibytesOrMoreStayAtTheLargestNumber) {
    EXPECT_EQ(StoredSize(0), 0);
    EXPECT_EQ(StoredSize(2147483647LL), 2147483647);
    EXPECT_EQ(StoredSize(2147483648LL), 2147483647);
    EXPECT_EQ(StoredSize(5000000000LL), 2147483647);
    EXPECT_EQ(StoredSize(4294967296LL + 10), 2147483647);
}

TEST(PreviewRules, KeysActOnlyWithExactlyTheirModifiers) {
    using K = PreviewKey;
    struct Case {
        unsigned key;
        bool shift, ctrl, alt;
        K command;
    } cases[] = {
        {keys::Return, false, false, true, K::Properties},
        {keys::Return, false, true, false, K::SetWallpaper},
        {keys::Return, false, false, false, K::None},
        {keys::Return, false, true, true, K::None},
        {keys::Return, true, false, true, K::None},
        {keys::Space, false, false, false, K::NextSlide},
        {keys::Space, true, false, false, K::None},
        {keys::Delete, false, false, false, K::Remove},
        {keys::Delete, false, true, false, K::DeleteFromDisk},
        {keys::Delete, true, false, false, K::None},
        {keys::Delete, true, true, false, K::None},
        {keys::F2, false, false, false, K::MoveOrRename},
        {keys::F2, false, false, true, K::None},
        {keys::F3, false, false, false, K::ToggleEnabled},
        {keys::F3, false, true, false, K::None},
        {keys::F4, false, false, false, K::ToggleTile},
        {keys::F4, false, false, true, K::None},  // Alt+F4 closes windows, not the tile mode
        {keys::F11, true, true, true, K::ExportManager},
        {keys::F11, false, true, true, K::None},
        {keys::F11, false, false, false, K::None},
        {'A', false, false, false, K::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodePreviewKey(c.key, c.shift, c.ctrl, c.alt), c.command)
            << c.key << " shift " << c.shift << " ctrl " << c.ctrl << " alt " << c.alt;
    }
}

}  // namespace
}  // namespace pictavo
