// The rules of watching for wallpaper, on plain values.
#include <gtest/gtest.h>

#include "detect/PollRules.h"

namespace pictavo {
namespace {

using Names = std::vector<std::string>;
const Names kFixed = {"Netscape Wallpaper.bmp", "Internet Explorer Wallpaper.bmp"};

TEST(PollRules, WatchedNamesAreTheFixedOnesAndTheUsersNameOnce) {
    const Names fixed = {"netscape wallpaper.bmp", "internet explorer wallpaper.bmp"};
    EXPECT_EQ(BuildWatchedNames(kFixed, "  My Wall.BMP "),
              (Names{fixed[0], fixed[1], "my wall.bmp"}));
    EXPECT_EQ(BuildWatchedNames(kFixed, " NETSCAPE Wallpaper.bmp  "), fixed);
    EXPECT_EQ(BuildWatchedNames(kFixed, "   "), fixed);
}

TEST(PollRules, PollIntervalsTheSystemRefusesAreTold) {
    EXPECT_EQ(PollIntervalMilliseconds(5), 5000u);
    EXPECT_EQ(PollIntervalMilliseconds(0), 0u);
    EXPECT_EQ(PollIntervalMilliseconds(32767), 32767000u);
    EXPECT_FALSE(PollIntervalMilliseconds(-5).has_value());
}

// Two writes within one second, or a change at a daylight-saving switch, must
// still differ; an untouched file must not.
TEST(PollRules, SignaturesDifferForAnyNewWriteTimeOrSize) {
    PollSignatureTable table;
    const std::string path = "c:\\windows\\netscape wallpaper.bmp";
    const PollSignature first{133500000000000000ull, 58};
    EXPECT_TRUE(table.Changed(path, first));
    table.Store(path, first);
    EXPECT_FALSE(table.Changed(path, first));
    EXPECT_TRUE(table.Changed(path, {first.writeTime + 1, 58}));  // 100 ns later
    EXPECT_TRUE(table.Changed(path, {first.writeTime, 59}));
    EXPECT_TRUE(table.Changed(path, {first.writeTime, 58 + (1ull << 32)}));  // past 4 GB
    table.Store(path, {first.writeTime + 1, 58});
    EXPECT_EQ(table.Count(), 1u);
    EXPECT_FALSE(table.Changed(path, {first.writeTime + 1, 58}));
}

}  // namespace
}  // namespace pictavo
