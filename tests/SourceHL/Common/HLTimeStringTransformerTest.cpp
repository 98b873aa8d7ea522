#include "SourceHL/Common/HLTimeStringTransformer.h"

#include <gtest/gtest.h>

TEST(HLTimeStringTransformer, SecondsToText)
{
    const std::pair<float, const char *> cases[] = {
        {3725.5f, "01:02:05.500"}, {59.25f, "00:00:59.250"}, {0.0f, "00:00:00.000"},
        {36000.0f, "10:00:00.000"}, {360000.0f, "100:00:00.000"}, {0.999f, "00:00:00.999"},
    };
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(HLTimeStringTransformer::transformedValue(seconds), QString::fromLatin1(text)) << seconds;
}

TEST(HLTimeStringTransformer, TextToSeconds)
{
    const std::pair<const char *, float> cases[] = {
        {"01:02:05.5", 3725.5f}, {"90", 90.0f}, {"02:30", 150.0f}, {"1:2:3:4", 0.0f},
        {"", 0.0f},              {"ab:10", 10.0f}, {"1.5:", 90.0f}, {"00:00:59.250", 59.25f},
        {"12abc", 12.0f},
    };
    for (const auto &[text, seconds] : cases)
        EXPECT_FLOAT_EQ(HLTimeStringTransformer::reverseTransformedValue(QString::fromLatin1(text)), seconds)
            << text;
}
