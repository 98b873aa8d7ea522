#include "SourceHL/Common/HLFontHelper.h"
#include "SourceHL/Common/HLInformationTitle.h"

#include "Platform/Foundation/HLAssert.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>

TEST(HLInformationTitle, DigitalFormats)
{
    struct Case
    {
        qint64 format;
        float time;
        const char *text;
    };
    const Case cases[] = {
        {0, 3725.5f, "3725"},  {1, 3725.5f, "3725.50"},    {2, 3725.5f, "62:05"},
        {3, 3725.5f, "62:05.50"}, {4, 3725.5f, "01:02:05"}, {5, 3725.5f, "01:02:05.50"},
        {0, 59.99f, "59"},     {1, 59.99f, "59.99"},       {3, 60.0f, "01:00.00"},
        {0, 5.0f, "05"},       {5, 0.0f, "00:00:00.00"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HLInformationTitle::itMakeDigitalTitleTime(c.format, c.time), QString::fromLatin1(c.text))
            << c.format << " " << c.time;
    EXPECT_EQ(HLInformationTitle::itMakeDigitalTitleTime(4, 65.0f, 3725.0f), "00:01:05/01:02:05");
}

TEST(HLInformationTitle, UnknownFormatIsWrongCase)
{
    for (const qint64 format : {qint64(-1), qint64(6)}) {
        try {
            HLInformationTitle::itMakeDigitalTitleTime(format, 1.0f);
            ADD_FAILURE() << "no assertion for " << format;
        } catch (const HLAssertionFailure &failure) {
            EXPECT_STREQ(failure.what(), "Wrong Case");
        }
    }
}

TEST(HLInformationTitle, WordedTimes)
{
    const std::tuple<float, const char *, const char *> cases[] = {
        {3725.9f, "1hr 2min 5sec", "1hr 2min"},
        {5.0f, "0hr 0min 5sec", "5sec"},
        {3600.0f, "1hr 0min 0sec", "1hr 0min"},
        {60.0f, "0hr 1min 0sec", "1min 0sec"},
        {125.0f, "0hr 2min 5sec", "2min 5sec"},
        {0.0f, "0hr 0min 0sec", "0sec"},
    };
    for (const auto &[time, full, partly] : cases) {
        EXPECT_EQ(HLInformationTitle::itMakeStringTitleTime(time), QString::fromLatin1(full)) << time;
        EXPECT_EQ(HLInformationTitle::itMakeStringTitleTimePartly(time), QString::fromLatin1(partly)) << time;
    }
}

TEST(HLInformationTitle, Sizes)
{
    const std::pair<qint64, const char *> cases[] = {
        {1536, "1.500 K"},         {1024, "1024.000 Byte"},  {1025, "1.001 K"},
        {1048576, "1024.000 K"},   {1048577, "1.000 M"},     {3221225472, "3.000 G"},
        {0, "0.000 Byte"},         {-5, "-5.000 Byte"},      {1088, "1.062 K"},
    };
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(HLInformationTitle::itMakeStringTitleSize(bytes), QString::fromLatin1(text)) << bytes;
}

TEST(HLFontHelper, NamedFontOrTheSystemFont)
{
    const QFont dejaVu = hl_fontWithName(QStringLiteral("DejaVu Serif"), 18);
    EXPECT_EQ(QFontInfo(dejaVu).family(), QStringLiteral("DejaVu Serif"));
    EXPECT_DOUBLE_EQ(dejaVu.pointSizeF(), 18.0);

    // Metric-compatible stand-ins of the font configuration count as installed.
    EXPECT_EQ(QFontInfo(hl_fontWithName(QStringLiteral("Times New Roman"), 12)).family(),
              QStringLiteral("Liberation Serif"));

    const QFont missing = hl_fontWithName(QStringLiteral("No Such Font Family 7361"), 21);
    EXPECT_EQ(missing.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    EXPECT_DOUBLE_EQ(missing.pointSizeF(), 21.0);
}
