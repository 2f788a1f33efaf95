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

// The interval named in a sentence: every part that is set, none that is 0,
// each unit in the singular for 1.
TEST(SlideInterval, WordsNameEveryPartThatIsSet) {
    const struct {
        int h, m, s;
        const char* words;
    } cases[] = {
        {0, 5, 0, "5 minutes"},          {1, 0, 0, "1 hour"},
        {1, 0, 30, "1 hour 30 seconds"}, {2, 1, 1, "2 hours 1 minute 1 second"},
        {0, 0, 45, "45 seconds"},        {0, 1, 0, "1 minute"},
        {72, 59, 55, "72 hours 59 minutes 55 seconds"},
        {0, 0, 0, "0 seconds"},  // never ticks; said as set all the same
    };
    for (const auto& c : cases)
        EXPECT_EQ(SlideIntervalWords(c.h, c.m, c.s), c.words) << c.h << ":" << c.m << ":" << c.s;
}

TEST(SlideInterval, MillisecondsAreTheSumOfTheParts) {
    EXPECT_EQ(SlideIntervalMilliseconds(0, 5, 0), 300000u);
    EXPECT_EQ(SlideIntervalMilliseconds(2, 0, 5), 7205000u);
    EXPECT_EQ(SlideIntervalMilliseconds(72, 59, 59), 262799000u);
    EXPECT_EQ(SlideIntervalMilliseconds(0, 0, 0), 0u);
}

}  // namespace
}  // namespace pictavo
