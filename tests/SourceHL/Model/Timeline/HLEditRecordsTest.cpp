#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "TimelineFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(HLRenderEditTrim, SettersKeepASecondBetweenStartAndEnd)
{
    struct Case
    {
        float duration, min, max, setMin, setMax, wantMin, wantMax;
    };
    // setDTrimMin first, then setDTrimMax.
    const Case cases[] = {
        {10, 0, 10, 9.5f, 3, 9, 10},   // upper bound of the start is end - 1; lower of the end min(10, 9 + 1)
        {0.5f, 0, 0.5f, 0.2f, 0.2f, 0, 0.5f}, // a clip shorter than a second
        {10, 0, 10, -3, 20, 0, 10},
        {10, 0, 4, 2, 2.5f, 2, 3},
    };
    for (const Case &c : cases) {
        auto trim = HLRenderEditTrim::editTrimOf(c.duration);
        trim->setDTrimMax(c.max);
        trim->setDTrimMin(c.setMin);
        trim->setDTrimMax(c.setMax);
        EXPECT_FLOAT_EQ(trim->dTrimMin(), c.wantMin) << c.duration << " " << c.setMin;
        EXPECT_FLOAT_EQ(trim->dTrimMax(), c.wantMax) << c.duration << " " << c.setMax;
    }
}

TEST(HLRenderEditTrim, DefaultsVolumeMappingAndRatios)
{
    EXPECT_EQ(HLRenderEditTrim::editTrimOf(0), nullptr);
    auto trim = HLRenderEditTrim::editTrimOf(6);
    EXPECT_EQ(trim->dTrimMin(), 0);
    EXPECT_EQ(trim->dTrimMax(), 6);
    EXPECT_EQ(trim->dVolume(), 1.0f);
    EXPECT_TRUE(trim->bSolo());

    trim->setDVolume(-1);
    EXPECT_EQ(trim->dVolume(), 0);
    trim->setDVolume(2.5f);
    EXPECT_EQ(trim->dVolume(), 2.5f);

    trim->setDTrimMax(4);
    trim->setDTrimMin(3);
    EXPECT_EQ(trim->trimedDuraton(), 1);
    EXPECT_EQ(trim->mappedTime(2), 5); // clamped to the clip, not to the trim end
    EXPECT_EQ(trim->mappedTime(5), 6);
    EXPECT_EQ(trim->mappedTime(-9), 0);
    EXPECT_FLOAT_EQ(trim->trimRatioMin(), 0.5f);

    trim->updateTrimRatioMax(1.0f);
    trim->updateTrimRatioMin(0.0f);
    EXPECT_EQ(trim->dTrimMax(), 6);
    EXPECT_EQ(trim->dTrimMin(), 0);
    EXPECT_THROW(trim->updateTrimRatioMin(1.5f), HLAssertionFailure);
    EXPECT_THROW(trim->updateTrimRatioMax(-0.1f), HLAssertionFailure);
    EXPECT_EQ(trim->description(), QStringLiteral("HLRenderEditTrim  -  Min:0.0  -  Max:6.0"));
}

TEST(HLRenderEditTrim, CopyResetAndEquality)
{
    auto trim = HLRenderEditTrim::editTrimOf(8);
    trim->setDTrimMin(2);
    trim->setBSolo(false);
    auto copy = trim->copy();
    EXPECT_TRUE(copy->isEqual(*trim));
    copy->setDTrimMax(5);
    EXPECT_FALSE(copy->isEqual(*trim));
    EXPECT_EQ(trim->dTrimMax(), 8);
    copy->reset();
    EXPECT_EQ(copy->dDuration(), 8);
    EXPECT_EQ(copy->dTrimMin(), 0);
    EXPECT_EQ(copy->dTrimMax(), 8);
    EXPECT_TRUE(copy->bSolo());
}

TEST(HLRenderEditCrop, SettersKeepTheRectangleInside)
{
    auto crop = HLRenderEditCrop::editCrop();
    crop->setDRatioW(0.5f);
    crop->setDRatioX(0.7f);
    EXPECT_FLOAT_EQ(crop->dRatioX(), 0.5f);
    crop->setDRatioW(0.8f);
    EXPECT_FLOAT_EQ(crop->dRatioX(), 0.2f);
    crop->setDRatioH(1.7f);
    EXPECT_EQ(crop->dRatioH(), 1.0f);
    crop->setDRatioY(0.3f);
    EXPECT_EQ(crop->dRatioY(), 0.0f);
    EXPECT_TRUE(crop->isEdited());

    auto almost = HLRenderEditCrop::editCrop();
    almost->setDRatioW(0.995f);
    almost->setDRatioH(0.995f);
    almost->setDRatioX(0.005f);
    EXPECT_FALSE(almost->isEdited());

    auto copy = crop->copy();
    EXPECT_TRUE(copy->isEqual(*crop));
    copy->reset();
    EXPECT_FALSE(copy->isEqual(*crop));
    EXPECT_FALSE(copy->isEdited());
    EXPECT_FLOAT_EQ(crop->dRatioW(), 0.8f);
}

TEST(HLRenderEditRotate, QuarterTurnsAndFlips)
{
    auto rotate = HLRenderEditRotate::editRotate();
    for (int i = 0; i < 4; ++i)
        rotate->rotateL();
    EXPECT_EQ(rotate->iRotation(), 0);
    rotate->rotateL();
    EXPECT_EQ(rotate->iRotation(), 90);
    EXPECT_FALSE(rotate->isNormal());
    rotate->rotateR();
    EXPECT_EQ(rotate->iRotation(), 0);
    rotate->rotateR();
    EXPECT_EQ(rotate->iRotation(), 270);
    EXPECT_FALSE(rotate->isNormal());
    rotate->rotateR();
    EXPECT_EQ(rotate->iRotation(), 180);
    EXPECT_TRUE(rotate->isNormal());
    EXPECT_TRUE(rotate->isEdited());

    auto flipped = HLRenderEditRotate::editRotate();
    EXPECT_FALSE(flipped->isEdited());
    flipped->flipV();
    EXPECT_TRUE(flipped->isEdited());
    auto copy = flipped->copy();
    EXPECT_TRUE(copy->isEqual(*flipped));
    copy->flipV();
    EXPECT_FALSE(copy->isEqual(*flipped));
    EXPECT_TRUE(flipped->bFlipV());
}

TEST(HLRenderEditEffect, ClampsAndTellsWhichPassRuns)
{
    auto effect = HLRenderEditEffect::editEffect();
    effect->setDHue(3);
    EXPECT_EQ(effect->dHue(), 2);
    effect->setDContrast(-1);
    EXPECT_EQ(effect->dContrast(), 0);
    effect->setDSharpeness(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(effect->dSharpeness(), 0);

    auto saturation = HLRenderEditEffect::editEffect();
    saturation->setDSaturation(1.009f);
    EXPECT_FALSE(saturation->isEditedColor());
    saturation->setDSaturation(1.02f);
    EXPECT_TRUE(saturation->isEditedColor());
    EXPECT_FALSE(saturation->isEditedHue());
    EXPECT_FALSE(saturation->isEditedSharpen());

    // Slider halves: contrast 0.25 .. 1 .. 4, sharpness 0 .. 0.4 .. 2.
    const struct
    {
        float value, contrast, sharpness;
    } maps[] = {{0.0f, 0.25f, 0.0f}, {0.5f, 0.625f, 0.2f}, {1.0f, 1.0f, 0.4f}, {1.5f, 2.5f, 1.2f}, {2.0f, 4.0f, 2.0f}};
    for (const auto &map : maps) {
        auto e = HLRenderEditEffect::editEffect();
        e->setDContrast(map.value);
        e->setDSharpeness(map.value);
        EXPECT_FLOAT_EQ(e->p_effectValueCon(), map.contrast) << map.value;
        EXPECT_FLOAT_EQ(e->p_effectValueSha(), map.sharpness) << map.value;
    }
    auto hue = HLRenderEditEffect::editEffect();
    hue->setDHue(1.5f);
    EXPECT_DOUBLE_EQ(hue->p_effectValueHue(), M_PI / 2);

    auto copy = effect->copy();
    EXPECT_TRUE(copy->isEqual(*effect));
    copy->reset();
    EXPECT_FALSE(copy->isEqual(*effect));
    EXPECT_FALSE(copy->isEditedColor() || copy->isEditedHue() || copy->isEditedSharpen());
}

TEST(HLRenderEditSlideshow, DefaultsCopyAndColourTolerance)
{
    auto edit = HLRenderEditSlideshow::renderEdit();
    EXPECT_FALSE(edit->bImageBorder());
    EXPECT_EQ(edit->clBorderColor(), QColor(Qt::white));
    EXPECT_FLOAT_EQ(edit->dBorderRatio(), 0.7f);
    EXPECT_TRUE(edit->bImageBackground());
    EXPECT_EQ(edit->clBackgroundColor(), QColor(Qt::black));
    EXPECT_EQ(edit->dBackgroundRatio(), 1.0f);
    EXPECT_TRUE(edit->isEdited());

    edit->makeDirty();
    const quint64 generation = edit->iDirtyGeneration();
    EXPECT_GT(generation, 0u);
    edit->setBImageBorder(true);
    edit->reset();
    EXPECT_EQ(edit->iDirtyGeneration(), generation);
    EXPECT_FALSE(edit->bImageBorder());

    auto other = HLRenderEditSlideshow::renderEdit();
    other->setClBorderColor(QColor::fromRgbF(0.995f, 1.0f, 1.0f));
    EXPECT_TRUE(other->isEqual(*edit));
    other->setDBorderRatio(0.8f);
    EXPECT_FALSE(other->isEqual(*edit));

    auto copy = edit->copy();
    EXPECT_EQ(copy->iDirtyGeneration(), 0u);
    EXPECT_TRUE(copy->isEqual(*edit));
}

TEST(HLBackEditSlideshow, EqualityCopyAndReset)
{
    auto a = HLBackEditSlideshow::backEdit();
    auto b = HLBackEditSlideshow::backEdit();
    // Two edits without a picture compare by their values.
    EXPECT_TRUE(a->isEqual(*b));
    b->setClBackSingle(Qt::red);
    EXPECT_FALSE(a->isEqual(*b));
    b->setClBackSingle(Qt::black);

    const auto picture = TimelineFixtures::photo(QStringLiteral("501"));
    a->setOBack(picture);
    EXPECT_FALSE(a->isEqual(*b));
    EXPECT_FALSE(b->isEqual(*a));
    b->setOBack(TimelineFixtures::photo(QStringLiteral("501")));
    EXPECT_TRUE(a->isEqual(*b)); // same kind and hash key
    b->setOBack(TimelineFixtures::photo(QStringLiteral("502")));
    EXPECT_FALSE(a->isEqual(*b));

    a->makeDirty();
    a->setClBackGradientEnd(Qt::red);
    auto copy = a->copy();
    EXPECT_EQ(copy->iDirtyGeneration(), 0u);
    EXPECT_EQ(copy->oBack(), picture);
    EXPECT_TRUE(copy->isEqual(*a));

    copy->keepTheSame(nullptr);
    EXPECT_EQ(copy->clBackSingle(), QColor(Qt::black));
    EXPECT_EQ(copy->clBackGradientStart(), QColor(Qt::green));
    EXPECT_EQ(copy->clBackGradientEnd(), QColor(Qt::blue));
    EXPECT_EQ(copy->oBack(), nullptr);
    EXPECT_EQ(a->clBackGradientEnd(), QColor(Qt::red));
}

} // namespace
