// The choice of the next slide on its own: no window, no files; the file
// check and the random source are scripted. (No Windows header, so it also
// builds natively.)
#include "slideshow/SlideSelection.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

namespace pictavo {
namespace {

using State = FileProbe::State;
using Lines = std::vector<std::string>;

const std::string kTrace = "FrmMain.GetNextSlideInfo: ";

struct Table {
    InventoryTable table;
    InventoryCursor slides{table};
    std::map<std::string, State> files;  // by path; Present when not named

    std::string Add(const std::string& folder, const std::string& name, State state,
                    bool enabled = true) {
        InventoryRecord record;
        record.Enabled = enabled;
        record.FileName = name;
        record.Location = folder;
        table.Append(record);
        const std::string path = LowerCase(folder + "\\" + name);
        files[path] = state;
        return path;
    }
    SlideFileCheck Check() {
        return [this](const std::string& path) {
            auto it = files.find(path);
            return it == files.end() ? State::Present : it->second;
        };
    }
};

TEST(SlideSelection, UnreachablePicturesStayAndAreToldOnceVanishedOnesLeave) {
    Table t;
    const std::string a = t.Add("c:\\pics", "a.bmp", State::Vanished);
    const std::string b = t.Add("q:\\pics", "b.bmp", State::Unreachable);
    const std::string c = t.Add("\\\\nas\\pics", "c.bmp", State::Unreachable);
    const std::string d = t.Add("c:\\pics", "d.bmp", State::Present);
    t.slides.Last();  // on d: the random phase never picks it, the ordered pass wraps to it
    SlideOptions options;
    // a, then b and c over and over: every try fails.
    int k = 0;
    SlideSelection s = SelectNextSlide(t.slides, options, t.Check(),
                                       [&k](int n) { return k++ == 0 ? 0 : k % (n - 1); });

    EXPECT_EQ(s.dropped, Lines{a});
    EXPECT_EQ(s.passedOver, (Lines{b, c}));
    EXPECT_EQ(t.table.Count(), 3u);
    EXPECT_EQ(s.path, d);
    EXPECT_EQ(s.recNo, 3u);
    EXPECT_FALSE(s.giveUp);
    EXPECT_EQ(s.trace, (Lines{kTrace + "Random Search 4 records",
                              kTrace + "Passed over, not reachable: " + b,
                              kTrace + "Passed over, not reachable: " + c,
                              kTrace + "501 tries of 500", kTrace + "Sequential Search",
                              kTrace + "Selected 3 " + d}));
}

TEST(SlideSelection, AfterTenUnreachablePicturesTheRestAreCountedInOneLine) {
    Table t;
    Lines expected = {kTrace + "Sequential Search"};
    for (int i = 0; i < 13; ++i) {
        const std::string path = t.Add("q:\\pics", "p" + std::to_string(10 + i) + ".bmp",
                                       State::Unreachable);
        if (i < 10) expected.push_back(kTrace + "Passed over, not reachable: " + path);
    }
    expected.push_back(kTrace + "3 more passed over, not reachable");
    SlideOptions options;
    options.random = false;
    t.slides.Last();
    SlideSelection s = SelectNextSlide(t.slides, options, t.Check(), [](int) { return 0; });
    EXPECT_EQ(s.passedOver.size(), 13u);
    EXPECT_EQ(s.trace, expected);
    EXPECT_TRUE(s.giveUp);
}

TEST(SlideSelection, RunningOutOfPicturesIsReportedOnlyWithTheSlideshowOn) {
    for (bool autoChange : {true, false}) {
        Table t;
        t.Add("q:\\pics", "a.bmp", State::Unreachable);
        t.Add("c:\\pics", "b.bmp", State::Present, false);
        SlideOptions options;
        options.random = false;
        options.autoChange = autoChange;
        options.saveEachChange = false;
        SlideSelection s = SelectNextSlide(t.slides, options, t.Check(), [](int) { return 0; });
        EXPECT_EQ(s.giveUp, autoChange);
        EXPECT_EQ(s.path, "");
        EXPECT_EQ(s.recNo, 0u);
        EXPECT_FALSE(s.persist);
        EXPECT_EQ(t.table.Count(), 2u);
    }
}

TEST(SlideSelection, APathLongerThanTheWallpaperCallTakesIsNotEligible) {
    const std::string folder = "c:\\" + std::string(120, 'f');  // 123 characters
    for (size_t length : {255u, 256u, 257u}) {
        SCOPED_TRACE(length);
        SlideOptions options;
        options.maxPathLength = 256;
        InventoryRecord record;
        record.Enabled = true;
        record.LCLocation = folder;
        record.LCFilename = std::string(length - folder.size() - 1 - 4, 'n') + ".bmp";
        ASSERT_EQ(record.LCLocation.size() + 1 + record.LCFilename.size(), length);
        EXPECT_EQ(IsEligibleSlide(options, record), length <= 256);
        options.maxPathLength = 0;
        EXPECT_TRUE(IsEligibleSlide(options, record));
    }
}

TEST(SlideSelection, UniformRandomReachesTheWholeOfALongListEvenly) {
    constexpr int kPictures = 100000, kBuckets = 100, kDraws = 200000;
    UniformRandom random(20240611u);
    std::array<int, kBuckets> counts{};
    int beyond = 0;
    for (int i = 0; i < kDraws; ++i) {
        const int n = random(kPictures);
        ASSERT_GE(n, 0);
        ASSERT_LT(n, kPictures);
        if (n > 32767) ++beyond;
        ++counts[n / (kPictures / kBuckets)];
    }
    EXPECT_GT(beyond, kDraws * 6 / 10);
    // Chi-square over 100 buckets (99 degrees of freedom): 148.2 is exceeded
    // by chance once in a thousand; the seed is fixed, so this never flickers.
    const double expected = double(kDraws) / kBuckets;
    double chiSquare = 0;
    for (int count : counts) chiSquare += (count - expected) * (count - expected) / expected;
    EXPECT_LT(chiSquare, 148.2);

    EXPECT_EQ(random(0), 0);
    EXPECT_EQ(random(1), 0);
}

}  // namespace
}  // namespace pictavo
