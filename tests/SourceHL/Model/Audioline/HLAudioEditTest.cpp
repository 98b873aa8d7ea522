#include "SourceHL/Model/Audioline/HLAudioEdit.h"

#include "Platform/Foundation/HLAssert.h"

#include <gtest/gtest.h>

namespace {

TEST(HLAudioEdit, MadeOnlyForNamedMusicWithALength)
{
    EXPECT_EQ(HLAudioEdit::audioEditOf(QString(), 10), nullptr);
    EXPECT_EQ(HLAudioEdit::audioEditOf("song", 0), nullptr);
    EXPECT_EQ(HLAudioEdit::audioEditOf("song", -1), nullptr);
    const auto edit = HLAudioEdit::audioEditOf("song", 10);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->dTrimMin(), 0);
    EXPECT_EQ(edit->dTrimMax(), 10);
    EXPECT_EQ(edit->dFadeIn(), 3.0f);
    EXPECT_EQ(edit->dFadeOut(), 3.0f);
    EXPECT_EQ(edit->dVolume(), 1.0f);
}

struct TrimCase
{
    float duration;
    float trimMax; // set first
    float trimMin; // then this
    float expectedMin;
    float expectedMax;
};

class HLAudioEditTrim : public ::testing::TestWithParam<TrimCase>
{
};

TEST_P(HLAudioEditTrim, KeepsAtLeastASecond)
{
    const TrimCase c = GetParam();
    const auto edit = HLAudioEdit::audioEditOf("song", c.duration);
    edit->setDTrimMax(c.trimMax);
    edit->setDTrimMin(c.trimMin);
    EXPECT_FLOAT_EQ(edit->dTrimMin(), c.expectedMin);
    EXPECT_FLOAT_EQ(edit->dTrimMax(), c.expectedMax);
}

INSTANTIATE_TEST_SUITE_P(Cases, HLAudioEditTrim,
                         ::testing::Values(TrimCase{10, 8, 2, 2, 8},          // plain
                                           TrimCase{10, 8, 7.5f, 7, 8},       // within 1 s of the end
                                           TrimCase{10, 20, -3, 0, 10},       // beyond both ends
                                           TrimCase{10, 0.2f, 0, 0, 1},       // end pulled to a second
                                           TrimCase{0.5f, 0.5f, 0.3f, 0, 0.5f})); // short file

TEST(HLAudioEdit, TrimRatiosDriveTheTrim)
{
    const auto edit = HLAudioEdit::audioEditOf("song", 20);
    edit->updateTrimRatioMax(0.5f);
    edit->updateTrimRatioMin(0.25f);
    EXPECT_FLOAT_EQ(edit->dTrimMin(), 5);
    EXPECT_FLOAT_EQ(edit->dTrimMax(), 10);
    EXPECT_FLOAT_EQ(edit->trimRatioMin(), 0.25f);
    EXPECT_FLOAT_EQ(edit->trimRatioMax(), 0.5f);
    EXPECT_FLOAT_EQ(edit->trimDuration(), 5);
    for (const float bad : {-0.1f, 1.1f}) {
        EXPECT_THROW(edit->updateTrimRatioMin(bad), HLAssertionFailure);
        EXPECT_THROW(edit->updateTrimRatioMax(bad), HLAssertionFailure);
    }
}

TEST(HLAudioEdit, ResetAndKeepTheSame)
{
    const auto edit = HLAudioEdit::audioEditOf("song", 20);
    edit->setDTrimMax(12);
    edit->setDTrimMin(4);
    edit->setDFadeIn(1);
    edit->setDFadeOut(0);
    edit->setDVolume(0.5f);

    const auto other = HLAudioEdit::audioEditOf("other", 30);
    other->keepTheSame(edit.get());
    EXPECT_EQ(other->strName(), "other");
    EXPECT_EQ(other->dDuration(), 30);
    EXPECT_EQ(other->dTrimMin(), 4);
    EXPECT_EQ(other->dTrimMax(), 12);
    EXPECT_EQ(other->dFadeIn(), 1);
    EXPECT_EQ(other->dFadeOut(), 0);
    EXPECT_EQ(other->dVolume(), 0.5f);

    edit->reset();
    EXPECT_TRUE(edit->isEqual(*HLAudioEdit::audioEditOf("song", 20)));
    EXPECT_FALSE(edit->isEqual(*HLAudioEdit::audioEditOf("song", 21)));
    EXPECT_FALSE(edit->isEqual(*HLAudioEdit::audioEditOf("tune", 20)));
}

} // namespace
