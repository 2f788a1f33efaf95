#include <gtest/gtest.h>

#include "slideshow/SlideInterval.h"

namespace pictavo {
namespace {

TEST(SlideInterval, Text) {
    const struct {
        int h, m, s;
        const char* text;
    } cases[] = {
        {0, 5, 0, "5 mins"},          {1, 0, 30, "1 hrs 30 seconds"},      {0, 0, 0, "never"},
        {2, 0, 5, "2 hrs 5 seconds"}, {1, 1, 1, "1 hrs 1 mins 1 seconds"}, {0, 0, 45, "45 seconds"},
        {72, 0, 0, "72 hrs"},         {0, 59, 55, "59 mins 55 seconds"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SlideIntervalText(c.h, c.m, c.s), c.text) << c.h << ":" << c.m << ":" << c.s;
}

TEST(SlideInterval, MillisecondsAreTheSumOfTheParts) {
    EXPECT_EQ(SlideIntervalMilliseconds(0, 5, 0), 300000u);
    EXPECT_EQ(SlideIntervalMilliseconds(2, 0, 5), 7205000u);
    EXPECT_EQ(SlideIntervalMilliseconds(72, 59, 59), 262799000u);
    EXPECT_EQ(SlideIntervalMilliseconds(0, 0, 0), 0u);
}

}  // namespace
}  // namespace pictavo
