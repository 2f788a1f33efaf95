// The rules of watching for wallpaper, on plain values.
#include <gtest/gtest.h>

#include "detect/PollRules.h"

namespace pictavo {
namespace {

using Names = std::vector<std::string>;
const Names kFixed = {"Netscape Wallpaper.bmp", "Internet Explorer Wallpaper.bmp"};

TEST(PollRules, WatchedNamesAreTheFixedOnesAndTheUsersNameOnce) {
    // As written: the names go to the system, and a double-byte name lowered
    // byte by byte would name another file.
    EXPECT_EQ(BuildWatchedNames(kFixed, "  My Wall.BMP "),
              (Names{kFixed[0], kFixed[1], "My Wall.BMP"}));
    EXPECT_EQ(BuildWatchedNames(kFixed, " \x83\x41.bmp "),
              (Names{kFixed[0], kFixed[1], "\x83\x41.bmp"}));
    EXPECT_EQ(BuildWatchedNames(kFixed, " NETSCAPE Wallpaper.bmp  "), kFixed);
    EXPECT_EQ(BuildWatchedNames(kFixed, "   "), kFixed);
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
