#include <gtest/gtest.h>

#include <cmath>

#include "framework/Convert.h"

namespace {

constexpr double kSecond = 1.0 / 86400;

}  // namespace

TEST(Convert_integers, strictDecimalTextWithinRange) {
    struct Case {
        const char* text;
        bool valid;
        int32_t value;
    };
    const Case cases[] = {
        {"0", true, 0},          {"42", true, 42},          {"-7", true, -7},         {"+7", true, 7},
        {"  12", true, 12},      {"007", true, 7},          {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},                   {"2147483648", false, 0}, {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},                 {"", false, 0},           {" ", false, 0},
        {"-", false, 0},         {"12 ", false, 0},         {"1.5", false, 0},        {"0x10", false, 0},
        {"12a", false, 0},       {"\t12", false, 0},
    };
    for (const Case& c : cases) {
        int32_t value = -99;
        EXPECT_EQ(fw::tryStrToInt(c.text, value), c.valid) << "'" << c.text << "'";
        EXPECT_EQ(value, c.valid ? c.value : -99) << "'" << c.text << "'";  // untouched on failure
        if (c.valid)
            EXPECT_EQ(fw::strToInt(c.text), c.value);
        else
            EXPECT_THROW(fw::strToInt(c.text), fw::ConvertError) << "'" << c.text << "'";
    }
}

TEST(Convert_decimals, onlyTheGivenSeparatorCounts) {
    struct Case {
        const char* text;
        char separator;
        bool valid;
        double value;
    };
    const Case cases[] = {
        {"25.3", '.', true, 25.3},  {"25,3", ',', true, 25.3},   {"25,3", '.', false, 0}, {"25.3", ',', false, 0},
        {" -1.5 ", '.', true, -1.5}, {"+2", '.', true, 2},       {".5", '.', true, 0.5},  {"5.", '.', true, 5},
        {"1e3", '.', true, 1000},   {"2,5E-1", ',', true, 0.25}, {"1e", '.', false, 0},   {".", '.', false, 0},
        {"", '.', false, 0},        {"1.2.3", '.', false, 0},    {"12a", '.', false, 0},  {"1e999", '.', false, 0},
        {"-42", '.', true, -42},    {"12345678901234567890", '.', true, 12345678901234567890.0},
    };
    for (const Case& c : cases) {
        double value = -99;
        EXPECT_EQ(fw::tryStrToFloat(c.text, c.separator, value), c.valid) << "'" << c.text << "' " << c.separator;
        if (c.valid) {
            EXPECT_DOUBLE_EQ(value, c.value) << "'" << c.text << "'";
        } else {
            EXPECT_THROW(fw::strToFloat(c.text, c.separator), fw::ConvertError) << "'" << c.text << "'";
        }
    }
    // The sign of a zero reaches the host's records.
    double zero = 1;
    ASSERT_TRUE(fw::tryStrToFloat("-0", '.', zero));
    EXPECT_TRUE(std::signbit(zero));
}

TEST(Convert_dateTime, encodeCountsDaysSince18991230) {
    EXPECT_EQ(fw::encodeDate(1899, 12, 30), 0);
    EXPECT_EQ(fw::encodeDate(1900, 1, 1), 2);
    EXPECT_EQ(fw::encodeDate(2000, 3, 1), 36586);
    EXPECT_EQ(fw::encodeDate(2024, 2, 29) + 1, fw::encodeDate(2024, 3, 1));
    EXPECT_DOUBLE_EQ(fw::encodeTime(12, 0, 0, 0), 0.5);
    EXPECT_NEAR(fw::encodeTime(23, 59, 59, 999), 1 - 0.001 * kSecond, 1e-12);
}

TEST(Convert_dateTime, outOfRangeValuesRaise) {
    const int badDates[][3] = {{2023, 2, 29}, {2024, 13, 1}, {2024, 0, 1}, {2024, 4, 31}, {0, 1, 1}, {10000, 1, 1}};
    for (const auto& d : badDates) EXPECT_THROW(fw::encodeDate(d[0], d[1], d[2]), fw::ConvertError) << d[0] << d[1];
    const int badTimes[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
    for (const auto& t : badTimes) EXPECT_THROW(fw::encodeTime(t[0], t[1], t[2], t[3]), fw::ConvertError) << t[0];
    EXPECT_NO_THROW(fw::encodeDate(1900, 2, 28));
    EXPECT_THROW(fw::encodeDate(1900, 2, 29), fw::ConvertError);  // century, no leap year
}

TEST(Convert_dateTime, decodeRoundsToTheMillisecondAndIgnoresTheSign) {
    const fw::DateTime value = fw::encodeDate(2009, 5, 1) + fw::encodeTime(10, 0, 5, 0);
    const fw::TimeOfDay time = fw::decodeTime(value - 0.0004 * kSecond);
    EXPECT_EQ(time.hour * 3600 + time.minute * 60 + time.second, 36005);
    EXPECT_EQ(time.millisecond, 0);
    const fw::TimeOfDay negative = fw::decodeTime(-fw::encodeTime(1, 2, 3, 0));
    EXPECT_EQ(negative.hour * 3600 + negative.minute * 60 + negative.second, 3723);
    const fw::CalendarDate date = fw::decodeDate(value);
    EXPECT_EQ(date.year * 10000 + date.month * 100 + date.day, 20090501);
}

TEST(Convert_midText, startBeyondTheEndStartsAtTheFirstCharacter) {
    struct Case {
        const char* text;
        int position, count;
        const char* expected;
    };
    const Case cases[] = {
        {"Date=20240501", 6, 4, "2024"}, {"Date=20240501", 12, 4, "01"}, {"Date=20240501", 13, 2, "1"},
        {"Date=20240501", 14, 2, "Da"},  {"abc", 4, 2, "ab"},            {"abc", 99, 1, "a"},
        {"abc", 0, 2, "ab"},             {"", 3, 2, ""},                 {"abc", 2, 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fw::midText(c.text, c.position, c.count), c.expected) << c.text << " " << c.position;
}
