#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "TimelineFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>

using namespace TimelineFixtures;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Project
{
    std::shared_ptr<HLRenderSizer> sizer = HLRenderSizer::renderSizerOf({1280, 960}, 1200);
    std::shared_ptr<HLTimelineItem> timeline = HLTimelineItem::timelineOf(2);
    std::shared_ptr<HLTextlineItem> textline = HLTextlineItem::textline();
    std::shared_ptr<HLAudiolineItem> audioline = HLAudiolineItem::audioline();
};

std::shared_ptr<HLResourceItem> music(const QString &hash, float seconds)
{
    return std::make_shared<HLResourceItem>(HLResourceTypeAudio, "TA" + hash, hash,
                                            QVariantMap{{"Name", "music" + hash}, {"Duration", seconds}});
}

Project sampleProject()
{
    Project project;
    project.timeline->setupSlideshow([] { return slideshowTemplate(); }, [] { return transitionTemplate(); });
    project.timeline->addOutTo({photo("11"), clip("12", 8.5f), photo("13"), clip("14", 3)}, QString());
    for (int i = 0; i < 3; ++i) {
        auto title = HLTextItem::textItemOf(QString::number(40 + i));
        title->updateLineMin(float(i) * 100, float(i) * 100 + 60);
        project.textline->add(title);
    }
    project.audioline->add({music("21", 30), music("22", 12)});
    project.audioline->arrange();
    return project;
}

// Saves the project as the main window does, one root object per line, and opens it again.
Project reopened(const Project &project, const QString &path)
{
    HLKeyedArchiver::archiveRootObject({{QStringLiteral("kNSCodingRenderSizer"), project.sizer},
                                        {QStringLiteral("kNSCodingTimelineItem"), project.timeline},
                                        {QStringLiteral("kNSCodingTextLineItem"), project.textline},
                                        {QStringLiteral("kNSCodingAudioLineItem"), project.audioline}},
                                       path);
    const auto root = HLKeyedUnarchiver::unarchiveRootObject(path);
    Project opened;
    opened.sizer = std::dynamic_pointer_cast<HLRenderSizer>(root.value(QStringLiteral("kNSCodingRenderSizer")));
    opened.timeline = std::dynamic_pointer_cast<HLTimelineItem>(root.value(QStringLiteral("kNSCodingTimelineItem")));
    opened.textline = std::dynamic_pointer_cast<HLTextlineItem>(root.value(QStringLiteral("kNSCodingTextLineItem")));
    opened.audioline = std::dynamic_pointer_cast<HLAudiolineItem>(root.value(QStringLiteral("kNSCodingAudioLineItem")));
    return opened;
}

class ProjectArchive : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        HLTimelineItem::registerCoding();
        HLTextlineItem::registerCoding();
        HLAudiolineItem::registerCoding();
        HLRenderSizer::registerCoding();
    }
    TestFolder folder;
};

// What an editor may hand the setters: ordinary values, the edges, and nonsense.
float anyValue(std::mt19937 &random)
{
    static const float special[] = {0, -1, 0.5f, 1, 3, 45, 90, 1500, 20000, 1e30f, -1e30f, kInf, -kInf, kNaN};
    if (random() % 3 == 0)
        return std::uniform_real_distribution<float>(-50, 50)(random);
    return special[random() % std::size(special)];
}

QColor anyColor(std::mt19937 &random)
{
    return random() % 4 == 0 ? QColor() : QColor::fromRgb(int(random() % 256), int(random() % 256), int(random() % 256));
}

using Edit = std::function<void(Project &, float, std::mt19937 &)>;

std::vector<Edit> everyEdit()
{
    const auto slideshow = [](Project &p, std::mt19937 &r) {
        const auto items = p.timeline->mtAryItems();
        return items[qsizetype(r() % std::size_t(items.size()))];
    };
    const auto renderItem = [slideshow](Project &p, std::mt19937 &r) {
        const auto item = slideshow(p, r);
        return item->logicRenderItemAt(r() % item->logicItemsCount());
    };
    const auto title = [](Project &p, std::mt19937 &r) {
        const auto items = p.textline->aryItems();
        return items[qsizetype(r() % std::size_t(items.size()))];
    };
    const auto clip = [](Project &p, std::mt19937 &r) {
        const auto items = p.audioline->aryItems();
        return items[r() % items.size()];
    };
    return {
        [](Project &p, float v, std::mt19937 &) { p.sizer->setSzRender(QSizeF(v, v * 0.5625f)); },
        [](Project &p, float v, std::mt19937 &) { p.sizer->setDPreviewLimit(v); },
        [](Project &p, float v, std::mt19937 &) { p.timeline->setIMode(quint64(std::int64_t(v))); },
        [=](Project &p, float v, std::mt19937 &r) { slideshow(p, r)->setDSlideshowDisplay(v); },
        [=](Project &p, float v, std::mt19937 &r) { slideshow(p, r)->setDSlideshowAnimate(v); },
        [=](Project &p, float v, std::mt19937 &r) { slideshow(p, r)->setDTransition(v); },
        [=](Project &p, float v, std::mt19937 &r) { slideshow(p, r)->oRenderEdit()->setDBorderRatio(v); },
        [=](Project &p, float v, std::mt19937 &r) { slideshow(p, r)->oRenderEdit()->setDBackgroundRatio(v); },
        [=](Project &p, float, std::mt19937 &r) { slideshow(p, r)->oRenderEdit()->setClBorderColor(anyColor(r)); },
        [=](Project &p, float, std::mt19937 &r) { slideshow(p, r)->oBackEdit()->setClBackSingle(anyColor(r)); },
        [=](Project &p, float, std::mt19937 &r) { slideshow(p, r)->oBackEdit()->setClBackGradientEnd(anyColor(r)); },
        [=](Project &p, float, std::mt19937 &r) {
            slideshow(p, r)->oBackEdit()->setOBack(r() % 2 ? photo("31") : TimelineFixtures::clip("32", 2));
        },
        [=](Project &p, float v, std::mt19937 &r) { renderItem(p, r)->oCrop()->setDRatioX(v); },
        [=](Project &p, float v, std::mt19937 &r) { renderItem(p, r)->oCrop()->setDRatioW(v); },
        [=](Project &p, float v, std::mt19937 &r) { renderItem(p, r)->oRotate()->setIRotation(int32_t(v)); },
        [=](Project &p, float v, std::mt19937 &r) { renderItem(p, r)->oEffect()->setDHue(v); },
        [=](Project &p, float v, std::mt19937 &r) {
            if (const auto trim = renderItem(p, r)->oTrim())
                trim->setDVolume(v);
        },
        [=](Project &p, float v, std::mt19937 &r) {
            if (const auto trim = renderItem(p, r)->oTrim())
                r() % 2 ? trim->setDTrimMin(v) : trim->setDTrimMax(v);
        },
        [=](Project &p, float v, std::mt19937 &r) { title(p, r)->oTextEdit()->setDFontSize(v); },
        [=](Project &p, float, std::mt19937 &r) {
            // A title's kind follows its template, as the editors set it.
            title(p, r)->updateText(r() % 2 ? QVariantMap{{"QuartzType", "QuartzTypeText"}, {"QuartzName", "FlyIn"}}
                                            : QVariantMap());
        },
        [=](Project &p, float v, std::mt19937 &r) {
            const auto edited = title(p, r);
            if (edited->oTextInfo())
                edited->oTextEdit()->setEnType(qint64(v));
        },
        [=](Project &p, float v, std::mt19937 &r) { title(p, r)->oTextEdit()->setDCenterX(v); },
        [=](Project &p, float v, std::mt19937 &r) { title(p, r)->oTextEdit()->setDStaticBackRadius(v); },
        [=](Project &p, float v, std::mt19937 &r) { title(p, r)->oTextEdit()->setDStaticBackAlpha(v); },
        [=](Project &p, float v, std::mt19937 &r) { title(p, r)->oTextEdit()->setDStaticShadowOffsetY(v); },
        [=](Project &p, float v, std::mt19937 &r) { title(p, r)->oTextEdit()->setDDynamicMoveIn(v); },
        [=](Project &p, float, std::mt19937 &r) { title(p, r)->oTextEdit()->setClStaticShadow(anyColor(r)); },
        [=](Project &p, float v, std::mt19937 &r) { title(p, r)->updateLineMax(v); },
        [=](Project &p, float v, std::mt19937 &r) { title(p, r)->updatePlayMin(std::abs(anyValue(r)), v); },
        [=](Project &p, float v, std::mt19937 &r) { clip(p, r)->oEdit()->setDFadeIn(v); },
        [=](Project &p, float v, std::mt19937 &r) { clip(p, r)->oEdit()->setDVolume(v); },
        [=](Project &p, float v, std::mt19937 &r) { clip(p, r)->oEdit()->setDDuration(v); },
        [=](Project &p, float v, std::mt19937 &r) { clip(p, r)->oEdit()->setDTrimMin(v); },
        [=](Project &p, float v, std::mt19937 &r) { clip(p, r)->setDPlayMax(v); },
        [=](Project &p, float v, std::mt19937 &r) { clip(p, r)->updatePlayMin(std::abs(anyValue(r)), v); },
        [](Project &p, float v, std::mt19937 &) { p.audioline->setEnType(qint64(v)); },
    };
}

// Whatever the setters are given, what they keep is what a saved project reopens with.
TEST_F(ProjectArchive, ProjectsReopenAfterAnyEdits)
{
    const std::vector<Edit> edits = everyEdit();
    std::mt19937 random(20240613);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        Project project = sampleProject();
        for (int step = 0; step < 25; ++step)
            edits[random() % edits.size()](project, anyValue(random), random);
        Project opened;
        ASSERT_NO_THROW(opened = reopened(project, folder.file(QString("ProjectData%1").arg(round))));
        ASSERT_TRUE(opened.sizer && opened.timeline && opened.textline && opened.audioline);
        EXPECT_EQ(opened.sizer->szRender(), project.sizer->szRender());
        EXPECT_EQ(opened.sizer->dPreviewLimit(), project.sizer->dPreviewLimit());
        ASSERT_EQ(opened.timeline->mtAryItems().size(), project.timeline->mtAryItems().size());
        for (qsizetype i = 0; i < project.timeline->mtAryItems().size(); ++i)
            EXPECT_TRUE(opened.timeline->mtAryItems()[i]->isEqual(*project.timeline->mtAryItems()[i])) << i;
        const auto titles = project.textline->aryItems();
        ASSERT_EQ(opened.textline->aryItems().size(), titles.size());
        for (qsizetype i = 0; i < titles.size(); ++i)
            EXPECT_TRUE(opened.textline->aryItems()[i]->isEqual(*titles[i])) << i;
        ASSERT_EQ(opened.audioline->aryItems().size(), project.audioline->aryItems().size());
        for (std::size_t i = 0; i < project.audioline->aryItems().size(); ++i)
            EXPECT_TRUE(opened.audioline->aryItems()[i]->isEqual(*project.audioline->aryItems()[i])) << i;
        EXPECT_EQ(opened.audioline->enType(), project.audioline->enType());
    }
}

// The values that once made a project that saved but never opened again.
TEST_F(ProjectArchive, SettersClampOrRefuseWhatAnArchiveCannotHold)
{
    Project project = sampleProject();
    const auto style = project.textline->aryItems()[0]->oTextEdit();
    const float size = style->dFontSize();
    style->setDFontSize(0);
    EXPECT_EQ(style->dFontSize(), size);
    style->setDFontSize(1500);
    EXPECT_EQ(style->dFontSize(), HLTextEdit::kMaximumFontSize);

    project.sizer->setSzRender({20000, 11250});
    EXPECT_EQ(project.sizer->szRender(), QSizeF(1280, 960));

    const auto slideshow = project.timeline->mtAryItems()[0];
    slideshow->setDSlideshowDisplay(0);
    EXPECT_EQ(slideshow->dSlideshowDisplay(), 4.0f);

    const auto rotate = slideshow->logicRenderItemAt(0)->oRotate();
    rotate->setIRotation(45);
    EXPECT_EQ(rotate->iRotation(), 0);
    rotate->setIRotation(-90);
    EXPECT_EQ(rotate->iRotation(), 270);

    style->setEnType(5);
    EXPECT_EQ(style->enType(), HLTextEdit::HLTextEditTypeStatic);
    const auto clip = project.audioline->aryItems()[0];
    clip->oEdit()->setDDuration(10); // the 30-s trim shrinks with the music
    EXPECT_EQ(clip->oEdit()->dTrimMax(), 10.0f);
    clip->setDPlayMax(kInf);
    EXPECT_TRUE(std::isfinite(clip->dPlayMax()));

    ASSERT_NO_THROW(reopened(project, folder.file("ProjectData")));
}

} // namespace
