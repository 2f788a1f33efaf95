#include <gtest/gtest.h>

#include <string>

#include "app/ProfileValue.h"
#include "platform/TraceRecord.h"

namespace pictavo {
namespace {

TEST(TraceRecord, HoldsLengthTextAndTheConstant) {
    struct Case {
        std::string text;
        size_t length;
    } cases[] = {{"", 0}, {"FormCreate", 10}, {std::string(255, 'x'), 255},
                 {std::string(300, 'y'), 255}};
    for (const Case& c : cases) {
        TraceRecord record = BuildTraceRecord(c.text);
        EXPECT_EQ(record.size(), 260u);
        EXPECT_EQ(record[0], c.length);
        EXPECT_EQ(std::string(TraceRecordText(record.data())), c.text.substr(0, c.length));
        EXPECT_EQ(record[256] | record[257] << 8 | record[258] << 16 | record[259] << 24, 32);
    }
}

TEST(ProfileValue, ReadsDecimalAndHexadecimalAndRefusesTheRest) {
    struct Case {
        const char* text;
        int32_t expected;  // -999 marks "not a number": the default is used
    } cases[] = {
        {"30", 30},   {"-1", -1},        {"0x1E", 30},  {"0X1e", 30}, {"$1E", 30},
        {"0x", -999}, {"12abc", -999},   {"", -999},    {" 5", -999}, {"0xZZ", -999},
        {"0", 0},     {"2147483647", 2147483647},       {"2147483648", -999},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProfileIntegerOr(c.text, -999), c.expected) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace pictavo
