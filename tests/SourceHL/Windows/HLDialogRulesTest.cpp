#include "SourceHL/Windows/HLSettingRules.h"
#include "SourceHL/Windows/HLSizeRules.h"

#include <gtest/gtest.h>

namespace {

TEST(HLSettingRulesTest, TheModesAndTheirTitles)
{
    std::string titles;
    for (const auto mode : HLSettingRules::modes())
        titles += (titles.empty() ? "" : " ") + HLSettingRules::titleOfMode(mode);
    EXPECT_EQ(titles, "1 5 10 15 20 25 30 40 50 60 80 100 200 No Limit");
    EXPECT_EQ(HLSettingRules::modeOfTitle("No Limit"), 0u);
    EXPECT_EQ(HLSettingRules::modeOfTitle("15"), 15u);
    EXPECT_EQ(HLSettingRules::titleOfType(0), "Loop Play All Audios");
    EXPECT_EQ(HLSettingRules::titleOfType(7), "Custom Play Duration");
    EXPECT_EQ(HLSettingRules::typeOfTitle("Custom Play Duration"), 1);
    EXPECT_EQ(HLSettingRules::typeOfTitle("Loop Play All Audios"), 0);
}

TEST(HLSettingRulesTest, AModeOffTheListIsShownAsItself)
{
    EXPECT_EQ(HLSettingRules::modesShownFor(200), HLSettingRules::modes());
    const std::vector<std::uint64_t> seven{1, 5, 7, 10, 15, 20, 25, 30, 40, 50, 60, 80, 100, 200, 0};
    EXPECT_EQ(HLSettingRules::modesShownFor(7), seven);
    const auto large = HLSettingRules::modesShownFor(500);
    EXPECT_EQ(large[large.size() - 2], 500u);
    EXPECT_EQ(large.back(), 0u);
}

TEST(HLSizeRulesTest, TypedSides)
{
    using HLSizeRules::Verdict;
    struct Case
    {
        const char *text;
        Verdict verdict;
        std::int64_t value;
    };
    const Case cases[] = {
        {"0640", Verdict::Valid, 640},     {"640.9", Verdict::Valid, 640},   {"30", Verdict::Valid, 30},
        {"4000", Verdict::Valid, 4000},    {"29", Verdict::TooSmall, 29},    {"4001", Verdict::TooLarge, 4001},
        {"", Verdict::TooSmall, 0},        {"5", Verdict::TooSmall, 5},      {"12a", Verdict::Invalid, 0},
        {"1.2.3", Verdict::Invalid, 0},    {"-640", Verdict::Invalid, 0},    {" 640", Verdict::Invalid, 0},
    };
    for (const Case &c : cases) {
        const auto side = HLSizeRules::sideOf(c.text);
        EXPECT_EQ(side.verdict, c.verdict) << c.text;
        if (c.verdict != Verdict::Invalid)
            EXPECT_EQ(side.value, c.value) << c.text;
    }
    EXPECT_EQ(HLSizeRules::sideOf("99999999999999999999999999").verdict, Verdict::TooLarge);
}

TEST(HLSizeRulesTest, TheNinePresets)
{
    const std::vector<HLSizeRules::Size> expected{{480, 320}, {640, 480},  {720, 480},  {800, 450},  {800, 600},
                                                  {960, 640}, {1280, 720}, {1280, 960}, {1920, 1080}};
    EXPECT_EQ(HLSizeRules::presets(), expected);
    EXPECT_EQ(HLSizeRules::presetIndexOf(1280, 720), 6u);
    EXPECT_EQ(HLSizeRules::presetIndexOf(800, 450), 3u);
    EXPECT_EQ(HLSizeRules::presetIndexOf(1000, 500), std::nullopt);
    EXPECT_EQ(HLSizeRules::presetIndexOf(720.6, 480), std::nullopt);
}

} // namespace
