// The title overlay's place and scale over the preview, and the music editor's typed times
// and repeat count.
#include "SourceHL/Common/HLInformationTitle.h"
#include "SourceHL/Editors/HLMusicEditValues.h"
#include "SourceHL/Editors/HLPreviewTimes.h"
#include "SourceHL/Editors/HLTitleOverlayGeometry.h"

#include <gtest/gtest.h>

#include <cfloat>

namespace {

TEST(HLTitleOverlayGeometry, TheOverlayHasTheProjectsShapeCentredInTheHost)
{
    const struct
    {
        float ratio;
        HLViewRect frame;
        float resize;
    } cases[] = {
        {1280.0f / 720.0f, {0, 60, 640, 360}, 640.0f / 600.0f},
        {720.0f / 960.0f, {140, 0, 360, 480}, 360.0f / 337.5f},
        {600.0f / 450.0f, {0, 0, 640, 480}, 640.0f / 600.0f},
    };
    for (const auto &c : cases) {
        const HLTitleOverlayFit fit = hl_titleOverlayFit(640, 480, c.ratio);
        EXPECT_FLOAT_EQ(fit.frame.x, c.frame.x) << c.ratio;
        EXPECT_FLOAT_EQ(fit.frame.y, c.frame.y) << c.ratio;
        EXPECT_FLOAT_EQ(fit.frame.width, c.frame.width) << c.ratio;
        EXPECT_FLOAT_EQ(fit.frame.height, c.frame.height) << c.ratio;
        EXPECT_FLOAT_EQ(fit.resize, c.resize) << c.ratio;
    }
}

TEST(HLTitleOverlayGeometry, NoHostOrShapeGivesNoOverlay)
{
    for (const auto &[width, height, ratio] :
         {std::tuple{0.0f, 480.0f, 1.5f}, {640.0f, 0.0f, 1.5f}, {640.0f, 480.0f, 0.0f}, {640.0f, 480.0f, NAN}}) {
        const HLTitleOverlayFit fit = hl_titleOverlayFit(width, height, ratio);
        EXPECT_EQ(fit.frame.width, 0);
        EXPECT_EQ(fit.resize, 0);
    }
}

TEST(HLMusicEditValues, TypedTimesAreFiniteNotNegativeAndCapped)
{
    const struct
    {
        const char *text;
        std::optional<float> seconds;
    } cases[] = {
        {"1:30", 90.0f},
        {"01:02:05.5", 3725.5f},
        {"12.25", 12.25f},
        {"abc", 0.0f}, // no time reads as 0 seconds
        {"nan", std::nullopt},
        {"inf", std::nullopt},
        {"-5", std::nullopt},
        {"1:-30", std::nullopt},
        {"\xE2\x88\x92" "5", std::nullopt}, // a typographic minus
        {"999999999", HLPreviewTimes::kLongestTime},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HLMusicEditValues::typedSeconds(QString::fromUtf8(c.text)), c.seconds) << c.text;
}

TEST(HLMusicEditValues, ARepeatCountSetsThePlayEndAndNeverAnInfiniteOne)
{
    EXPECT_FLOAT_EQ(*HLPreviewTimes::repeatedEnd(4.0f, 6.0f, 2.5f), 19.0f);
    EXPECT_FLOAT_EQ(HLMusicEditValues::repeatCount(4.0f, 19.0f, 6.0f), 2.5f);
    EXPECT_EQ(HLPreviewTimes::repeatedEnd(4.0f, 6.0f, FLT_MAX), HLPreviewTimes::kLongestTime);
    EXPECT_EQ(HLMusicEditValues::repeatCount(4.0f, 19.0f, 0.0f), 0.0f);
}

TEST(HLMusicEditValues, TimesShowInTheEditorsTwoStyles)
{
    EXPECT_EQ(HLInformationTitle::itMakeDigitalTitleTime(3, 83.456f), QStringLiteral("01:23.45"));
    EXPECT_EQ(HLInformationTitle::itMakeDigitalTitleTime(2, 83.456f), QStringLiteral("01:23"));
    EXPECT_EQ(HLInformationTitle::itMakeDigitalTitleTime(3, 3725.5f), QStringLiteral("62:05.50"));
    EXPECT_EQ(HLInformationTitle::itMakeDigitalTitleTime(2, 3725.5f), QStringLiteral("62:05"));
}

} // namespace
