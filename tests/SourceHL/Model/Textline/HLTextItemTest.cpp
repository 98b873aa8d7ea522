#include "SourceHL/Model/Textline/HLTextItem.h"

#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextInfo.h"
#include "tests/support/TestFolder.h"

#include <QImage>

#include <cmath>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

QImage thumb()
{
    QImage image(4, 3, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::green);
    return image;
}

QVariantMap textTemplate(const QString &name)
{
    return {{"QuartzType", "QuartzTypeText"}, {"QuartzName", name}, {"ThumbnailName", thumb()}};
}

// Style -------------------------------------------------------------------------------------

TEST(HLTextEdit, NewStyleHasTheDefaults)
{
    const auto style = HLTextEdit::textEdit();
    EXPECT_EQ(style->iDirtyGeneration(), 0u);
    EXPECT_EQ(style->enType(), 0);
    EXPECT_EQ(style->strText(), "Text Here");
    EXPECT_EQ(style->strFont(), "LucidaGrande");
    EXPECT_EQ(style->dFontSize(), 60);
    EXPECT_EQ(style->clFont(), QColor(Qt::white));
    EXPECT_EQ(style->dCenterX(), 0.5f);
    EXPECT_EQ(style->dCenterY(), 0.5f);
    EXPECT_FALSE(style->bStaticBack());
    EXPECT_EQ(style->clStaticBack(), QColor(Qt::black));
    EXPECT_EQ(style->dStaticBackRadius(), 0);
    EXPECT_EQ(style->dStaticBackAlpha(), 1);
    EXPECT_TRUE(style->bStaticShadow());
    EXPECT_EQ(style->clStaticShadow(), QColor(Qt::black));
    EXPECT_EQ(style->dStaticShadowRadius(), 2);
    EXPECT_EQ(style->dStaticShadowOffsetX(), 1);
    EXPECT_EQ(style->dStaticShadowOffsetY(), 1);
    EXPECT_EQ(style->dDynamicMoveIn(), 1);
    EXPECT_EQ(style->dDynamicMoveOut(), 1);
}

// Each edit changes one field away from the default.
const std::vector<std::pair<const char *, std::function<void(HLTextEdit &)>>> kStyleEdits = {
    {"type", [](HLTextEdit &s) { s.setEnType(1); }},
    {"text", [](HLTextEdit &s) { s.setStrText("Hello"); }},
    {"font", [](HLTextEdit &s) { s.setStrFont("DejaVu Sans"); }},
    {"fontSize", [](HLTextEdit &s) { s.setDFontSize(61); }},
    {"fontColor", [](HLTextEdit &s) { s.setClFont(QColor::fromRgbF(0.98f, 1, 1)); }},
    {"centerX", [](HLTextEdit &s) { s.setDCenterX(0.25f); }},
    {"centerY", [](HLTextEdit &s) { s.setDCenterY(0.75f); }},
    {"back", [](HLTextEdit &s) { s.setBStaticBack(true); }},
    {"backColor", [](HLTextEdit &s) { s.setClStaticBack(Qt::red); }},
    {"backRadius", [](HLTextEdit &s) { s.setDStaticBackRadius(0.5f); }},
    {"backAlpha", [](HLTextEdit &s) { s.setDStaticBackAlpha(0.5f); }},
    {"shadow", [](HLTextEdit &s) { s.setBStaticShadow(false); }},
    {"shadowColor", [](HLTextEdit &s) { s.setClStaticShadow(Qt::blue); }},
    {"shadowRadius", [](HLTextEdit &s) { s.setDStaticShadowRadius(3); }},
    {"shadowOffsetX", [](HLTextEdit &s) { s.setDStaticShadowOffsetX(-1); }},
    {"shadowOffsetY", [](HLTextEdit &s) { s.setDStaticShadowOffsetY(-1); }},
    {"moveIn", [](HLTextEdit &s) { s.setDDynamicMoveIn(2); }},
    {"moveOut", [](HLTextEdit &s) { s.setDDynamicMoveOut(2); }},
};

TEST(HLTextEdit, EveryFieldTakesPartInEqualityAndKeepTheSame)
{
    for (const auto &[name, edit] : kStyleEdits) {
        SCOPED_TRACE(name);
        const auto original = HLTextEdit::textEdit();
        auto changed = HLTextEdit::textEdit();
        edit(*changed);
        EXPECT_FALSE(changed->isEqual(*original));

        const auto copied = changed->copy();
        EXPECT_TRUE(copied->isEqual(*changed));

        auto taken = HLTextEdit::textEdit();
        taken->keepTheSame(changed.get());
        EXPECT_TRUE(taken->isEqual(*changed));

        changed->makeDirty();
        const quint64 generation = changed->iDirtyGeneration();
        changed->reset();
        EXPECT_TRUE(changed->isEqual(*original));
        EXPECT_EQ(changed->iDirtyGeneration(), generation); // reset leaves the mark alone
    }
}

TEST(HLTextEdit, DirtyMarkIsNeitherComparedNorCopied)
{
    auto style = HLTextEdit::textEdit();
    style->setStrText("Title");
    style->makeDirty();
    const auto copied = style->copy();
    EXPECT_EQ(copied->iDirtyGeneration(), 0u);
    EXPECT_TRUE(copied->isEqual(*style));
    auto taken = HLTextEdit::textEdit();
    taken->keepTheSame(style.get());
    EXPECT_EQ(taken->iDirtyGeneration(), 0u);
}

TEST(HLTextEdit, ColoursCompareWithinTheTolerance)
{
    auto a = HLTextEdit::textEdit();
    auto b = HLTextEdit::textEdit();
    a->setClFont(QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    b->setClFont(QColor::fromRgbF(0.505f, 0.5f, 0.5f));
    EXPECT_TRUE(a->isEqual(*b));
    b->setClFont(QColor::fromRgbF(0.52f, 0.5f, 0.5f));
    EXPECT_FALSE(a->isEqual(*b));
}

// Descriptor --------------------------------------------------------------------------------

TEST(HLTextInfo, OnlyNamedTextTemplatesGiveADescriptor)
{
    const auto info = HLTextInfo::textInfoOf(textTemplate("FlyIn"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->strName(), "FlyIn");
    EXPECT_EQ(info->imgThumb(), thumb());

    EXPECT_EQ(HLTextInfo::textInfoOf({}), nullptr);
    EXPECT_EQ(HLTextInfo::textInfoOf({{"QuartzType", "QuartzTypeSlideshow"}, {"QuartzName", "Zoom"}}), nullptr);
    EXPECT_EQ(HLTextInfo::textInfoOf({{"QuartzType", "QuartzTypeText"}}), nullptr);
}

TEST(HLTextInfo, StaticDescriptorTakesItsThumbnailFromTheResources)
{
    TestFolder folder;
    ASSERT_TRUE(thumb().save(folder.file("StaticText.png")));
    const auto info = HLTextInfo::staticTextInfo(folder.path());
    EXPECT_EQ(info->strName(), "Static");
    EXPECT_EQ(info->imgThumb().size(), QSize(4, 3));
}

// Title -------------------------------------------------------------------------------------

TEST(HLTextItem, MakingATitle)
{
    EXPECT_EQ(HLTextItem::textItemOf(QString()), nullptr);
    EXPECT_EQ(HLTextItem::textItemOf(""), nullptr);

    const auto plain = HLTextItem::textItemOf("1", {{"QuartzType", "QuartzTypeTransition"}, {"QuartzName", "X"}});
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->oTextInfo(), nullptr);
    EXPECT_EQ(plain->oTextEdit()->enType(), 0);
    EXPECT_TRUE(plain->oTextEdit()->isEqual(*HLTextEdit::textEdit()));
    EXPECT_EQ(plain->dLineMin(), 0);
    EXPECT_EQ(plain->dPlayMax(), 0);

    const auto animated = HLTextItem::textItemOf("2", textTemplate("FlyIn"));
    EXPECT_EQ(animated->oTextInfo()->strName(), "FlyIn");
    EXPECT_EQ(animated->oTextEdit()->enType(), 1);
}

TEST(HLTextItem, UpdateTextSwitchesOnlyTheKind)
{
    auto item = HLTextItem::textItemOf("1");
    item->oTextEdit()->setStrText("Hello");
    item->oTextEdit()->setDCenterX(0.3f);
    item->updateText(textTemplate("Fade"));
    EXPECT_EQ(item->oTextEdit()->enType(), 1);
    EXPECT_EQ(item->oTextInfo()->strName(), "Fade");
    item->updateText({});
    EXPECT_EQ(item->oTextEdit()->enType(), 0);
    EXPECT_EQ(item->oTextInfo(), nullptr);
    EXPECT_EQ(item->oTextEdit()->strText(), "Hello");
    EXPECT_EQ(item->oTextEdit()->dCenterX(), 0.3f);
}

TEST(HLTextItem, LineSettersClampAndRangeSettersRefuse)
{
    auto item = HLTextItem::textItemOf("1");
    item->updateLineMin(10, 50);
    item->updateLineMin(80);
    EXPECT_EQ(item->dLineMin(), 50);
    item->updateLineMin(-5);
    EXPECT_EQ(item->dLineMin(), 0);
    item->updateLineMin(kNaN);
    EXPECT_EQ(item->dLineMin(), 0);
    item->updateLineMin(20);
    item->updateLineMax(5);
    EXPECT_EQ(item->dLineMax(), 20);
    item->updateLineMax(kNaN);
    EXPECT_EQ(item->dLineMax(), 20);
    item->updateLineMax(70);
    EXPECT_EQ(item->lineDuration(), 50);

    const std::pair<float, float> refused[] = {{-1, 5}, {5, 4}, {kNaN, 5}, {5, kNaN}};
    for (const auto &[start, end] : refused) {
        item->updateLineMin(start, end);
        item->updatePlayMin(start, end);
    }
    EXPECT_EQ(item->dLineMin(), 20);
    EXPECT_EQ(item->dLineMax(), 70);
    EXPECT_EQ(item->dPlayMin(), 0);
    EXPECT_EQ(item->dPlayMax(), 0);
    item->updatePlayMin(2, 2);
    EXPECT_EQ(item->playDuration(), 0);
    item->updatePlayMin(2, 6);
    EXPECT_EQ(item->playDuration(), 4);
}

TEST(HLTextItem, MoveRatiosOfTemplateText)
{
    const struct
    {
        float duration, in, out, inRatio, outRatio;
    } cases[] = {
        {10, 1, 1, 0.1f, 0.9f},   // room for both moves
        {10, 2, 3, 0.2f, 0.7f},
        {1.5f, 1, 1, 1 / 1.5f, 1 / 1.5f}, // shorter than both: the exit begins where the entrance ends
        {0.5f, 1, 1, 1, 2},       // shorter than the entrance: the exit ratio passes 1
        {2, 1, 1, 0.5f, 0.5f},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.duration);
        auto item = HLTextItem::textItemOf("1");
        item->updatePlayMin(4, 4 + c.duration);
        item->oTextEdit()->setDDynamicMoveIn(c.in);
        item->oTextEdit()->setDDynamicMoveOut(c.out);
        EXPECT_FLOAT_EQ(item->dynamicMoveInRatio(), c.inRatio);
        EXPECT_FLOAT_EQ(item->dynamicMoveOutRatio(), c.outRatio);
    }
}

TEST(HLTextItem, DynamicCentreIsClampedAndNoNumberIsIgnored)
{
    auto item = HLTextItem::textItemOf("1");
    const std::pair<float, float> cases[] = {{0.3f, 0.3f}, {-2, 0}, {1.5f, 1}, {kNaN, 1}};
    for (const auto &[value, expected] : cases) {
        item->oTextEdit()->setDCenterX(value);
        item->oTextEdit()->setDCenterY(value);
        EXPECT_EQ(item->dynamicCenterX(), expected);
        EXPECT_EQ(item->dynamicCenterY(), expected);
    }
}

TEST(HLTextItem, CopySharesTheDescriptorAndCopiesTheStyle)
{
    auto item = HLTextItem::textItemOf("7", textTemplate("FlyIn"));
    item->updateLineMin(10, 20);
    item->updatePlayMin(1, 2);
    item->oTextEdit()->makeDirty();
    const auto copied = item->copy();
    EXPECT_TRUE(copied->isEqual(*item));
    EXPECT_EQ(copied->oTextInfo(), item->oTextInfo());
    EXPECT_NE(copied->oTextEdit(), item->oTextEdit());
    EXPECT_EQ(copied->oTextEdit()->iDirtyGeneration(), 0u);

    copied->oTextEdit()->setStrText("Changed");
    EXPECT_FALSE(copied->isEqual(*item));
    EXPECT_EQ(item->oTextEdit()->strText(), "Text Here");
}

TEST(HLTextItem, EqualityLooksAtIdTemplateStyleAndRanges)
{
    const auto base = HLTextItem::textItemOf("7", textTemplate("FlyIn"));
    base->updateLineMin(10, 20);
    base->updatePlayMin(1, 2);
    const std::vector<std::pair<const char *, std::function<std::shared_ptr<HLTextItem>()>>> others = {
        {"id", [&] { auto o = HLTextItem::textItemOf("8", textTemplate("FlyIn")); o->updateLineMin(10, 20); o->updatePlayMin(1, 2); return o; }},
        {"template", [&] { auto o = base->copy(); o->updateText(textTemplate("Fade")); return o; }},
        {"static", [&] { auto o = base->copy(); o->updateText({}); o->oTextEdit()->setEnType(1); return o; }},
        {"lineMin", [&] { auto o = base->copy(); o->updateLineMin(11); return o; }},
        {"lineMax", [&] { auto o = base->copy(); o->updateLineMax(21); return o; }},
        {"playMin", [&] { auto o = base->copy(); o->updatePlayMin(0, 2); return o; }},
        {"playMax", [&] { auto o = base->copy(); o->updatePlayMin(1, 3); return o; }},
    };
    for (const auto &[name, make] : others) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(make()->isEqual(*base));
    }
    // A new descriptor of the same name is the same template.
    auto same = base->copy();
    same->updateText(textTemplate("FlyIn"));
    EXPECT_TRUE(same->isEqual(*base));
}

TEST(HLTextItem, Description)
{
    auto item = HLTextItem::textItemOf("1");
    item->updateLineMin(1.5f, 20.125f);
    item->updatePlayMin(0.25f, 3);
    EXPECT_EQ(item->description(), "LineMin:1.50   LineMax:20.12   PlayMin:0.25   PlayMax:3.00");
}

} // namespace
