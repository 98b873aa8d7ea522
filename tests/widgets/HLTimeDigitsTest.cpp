#include "widgets/HLTimeDigits.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct Case
{
    float seconds;
    long long type;
    const char *glyphs;
};

TEST(HLTimeDigitsTest, ReadsEachFormat)
{
    const Case cases[] = {
        {0, 3, "00:00.00"},
        {6000.5f, 3, "100:00.50"}, // 100 minutes take a third digit
        {3725, 4, "01:02:05"},
        {3725, 2, "62:05"},
        {3725, 5, "01:02:05.00"},
        {59.25f, 1, "59.25"},
        {75, 0, "15"}, // the seconds within the minute
        {359999, 4, "99:59:59"},
        {12.5f, 6, ""}, // no such format
        {12.5f, -1, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(hl_timeDigits(c.seconds, c.type), c.glyphs) << c.seconds << " in format " << c.type;
}

TEST(HLTimeDigitsTest, NegativeAndNotANumberReadAsZero)
{
    for (float t : {-1.0f, -0.001f, std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity()})
        EXPECT_EQ(hl_timeDigits(t, 5), "00:00:00.00") << t;
}

TEST(HLTimeDigitsTest, HugeTimesKeepOneGlyphPerSlot)
{
    // Hours beyond 99 must not turn into a glyph that is no digit.
    for (char glyph : hl_timeDigits(std::numeric_limits<float>::max(), 5))
        EXPECT_TRUE((glyph >= '0' && glyph <= '9') || glyph == ':' || glyph == '.') << glyph;
}

} // namespace
