// The report rules whose mistakes would pass unseen through the end-to-end
// tests: exact doubles, escapes of code-page bytes, day counts as dates.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "tools/host/report/TextRules.h"
#include "tools/host/time/CivilTime.h"

TEST(TextRules_number, readsBackBitForBit) {
    const double values[] = {0.1, 1.0 / 3, 45424.395833333336, 26.14472222222219, 47.1000001, 1e-300,
                             5e-324, DBL_MAX, -0.0, 86400, -273.15};
    for (const double value : values) {
        const std::string text = numberText(value);
        const double back = std::strtod(text.c_str(), nullptr);
        EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
    }
    EXPECT_EQ(numberText(5), "5");
    EXPECT_EQ(numberText(0.1), "0.1");
    EXPECT_EQ(numberText(std::nan("")), "nan");
}

TEST(TextRules_json, escapesControlAndCodePageBytes) {
    EXPECT_EQ(jsonString("plain"), "\"plain\"");
    EXPECT_EQ(jsonString("a\r\nb\tc"), "\"a\\r\\nb\\tc\"");
    EXPECT_EQ(jsonString("say \"hi\" \\"), "\"say \\\"hi\\\" \\\\\"");
    EXPECT_EQ(jsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\x7f\"");
    // The byte itself, as Latin-1: e-acute 0xE9, the euro sign 0x80 of cp1252.
    EXPECT_EQ(jsonString("Caf\xe9 \x80"), "\"Caf\\u00e9 \\u0080\"");
    EXPECT_EQ(jsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
}

TEST(TextRules_dateTime, dayCountsFromTheEndOf1899) {
    const struct {
        double days;
        const char* text;
    } cases[] = {
        {0, "1899-12-30 00:00:00"},
        {1.5, "1899-12-31 12:00:00"},
        {60, "1900-02-28 00:00:00"},  // 1900 is no leap year
        {61, "1900-03-01 00:00:00"},
        {45424.395833333336, "2024-05-12 09:30:00"},
        {45351, "2024-02-29 00:00:00"},
        {45424.999999999, "2024-05-13 00:00:00"},  // rounds up into the next day
        {-1.25, "1899-12-29 06:00:00"},            // negative: the fraction is still the time
    };
    for (const auto& c : cases) EXPECT_EQ(dateTimeText(c.days), c.text) << c.days;
    EXPECT_EQ(dateTimeText(std::nan("")), "invalid");
}

TEST(TextRules_duration, hoursBeyondADay) {
    EXPECT_EQ(durationText(0), "0:00:00");
    EXPECT_EQ(durationText(3723), "1:02:03");
    EXPECT_EQ(durationText(90061), "25:01:01");
    EXPECT_EQ(durationText(-5), "-0:00:05");
}

TEST(TextRules_csv, quotesOnlyWhenNeeded) {
    EXPECT_EQ(csvField("/tmp/ride.hrm"), "/tmp/ride.hrm");
    EXPECT_EQ(csvField("a,b.hrm"), "\"a,b.hrm\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
}
