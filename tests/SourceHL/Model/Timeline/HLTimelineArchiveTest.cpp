#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"
#include "TimelineFixtures.h"
#include "tests/support/ForgedRecord.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace TimelineFixtures;

namespace {

using Forged = ForgedRecord;

template <class T>
std::shared_ptr<T> roundTrip(const std::shared_ptr<const HLCoding> &object)
{
    HLKeyedArchiver archiver;
    archiver.encodeObject(QStringLiteral("root"), object);
    HLKeyedUnarchiver coder = HLKeyedUnarchiver::fromData(archiver.encodedData());
    return coder.decodeObject<T>(QStringLiteral("root"));
}

class TimelineArchive : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { HLTimelineItem::registerCoding(); }
};

TEST_F(TimelineArchive, TimelineRoundTripsEqual)
{
    auto timeline = HLTimelineItem::timelineOf(2);
    timeline->setupSlideshow([] { return slideshowTemplate(); }, [] { return transitionTemplate(); });
    timeline->addOutTo({photo("11"), clip("12", 8.5f), photo("13")}, QString());
    auto first = timeline->mtAryItems()[0];
    auto movie = first->logicRenderItemAt(1);
    movie->oTrim()->setDTrimMin(1.25f);
    movie->oTrim()->setBSolo(false);
    movie->oCrop()->setDRatioW(0.5f);
    movie->oRotate()->rotateR();
    movie->oRotate()->flipH();
    movie->oEffect()->setDContrast(1.5f);
    first->oRenderEdit()->setBImageBorder(true);
    first->oRenderEdit()->setClBorderColor(QColor(10, 200, 30));
    first->oRenderEdit()->makeDirty();
    first->oBackEdit()->setBBackground(true);
    first->oBackEdit()->setEnColorType(1);
    first->oBackEdit()->setClBackGradientStart(Qt::yellow);
    first->oBackEdit()->setOBack(photo("99"));
    first->setDTransition(1.75f);
    timeline->update(6);

    TestFolder folder;
    const QString path = folder.file(QStringLiteral("ProjectData"));
    HLKeyedArchiver::archiveRootObject({{QStringLiteral("kNSCodingTimelineItem"), timeline}}, path);
    const auto root = HLKeyedUnarchiver::unarchiveRootObject(path);
    const auto decoded = std::dynamic_pointer_cast<HLTimelineItem>(root.value(QStringLiteral("kNSCodingTimelineItem")));
    ASSERT_TRUE(decoded);

    EXPECT_EQ(decoded->iMode(), 2u);
    EXPECT_EQ(decoded->dDuration(), timeline->dDuration());
    EXPECT_EQ(decoded->dNowTime(), 0);
    EXPECT_FALSE(decoded->blkSlideshow());
    EXPECT_FALSE(decoded->blkTransition());
    ASSERT_EQ(decoded->slideshowItemsCount(), timeline->slideshowItemsCount());
    for (qsizetype i = 0; i < timeline->mtAryItems().size(); ++i) {
        const auto a = timeline->mtAryItems()[i];
        const auto b = decoded->mtAryItems()[i];
        EXPECT_TRUE(b->isEqual(*a)) << i;
        ASSERT_EQ(b->logicItemsCount(), a->logicItemsCount());
        for (std::size_t j = 0; j < a->logicItemsCount(); ++j) {
            EXPECT_TRUE(b->logicRenderItemAt(j)->isEqual(*a->logicRenderItemAt(j))) << i << " " << j;
            EXPECT_EQ(b->logicRenderItemAt(j)->iDirtyGeneration(), 0u);
        }
        EXPECT_EQ(b->duration(), a->duration());
        EXPECT_EQ(b->oSlideshowInfo()->dDuration_T_B_2(), a->oSlideshowInfo()->dDuration_T_B_2());
    }
    const auto decodedFirst = decoded->mtAryItems()[0];
    EXPECT_EQ(decodedFirst->oRenderEdit()->iDirtyGeneration(), 0u);
    EXPECT_EQ(decodedFirst->oBackEdit()->oBack()->strHashID(), "99");
    EXPECT_EQ(decodedFirst->logicRenderItemAt(1)->oTrim()->dTrimMin(), 1.25f);
    const QList<QVariantMap> infos = timeline->timelineInfos();
    const QList<QVariantMap> decodedInfos = decoded->timelineInfos();
    ASSERT_EQ(decodedInfos.size(), infos.size());
    for (qsizetype i = 0; i < infos.size(); ++i) {
        for (const QString &key : infos[i].keys()) {
            if (key == kInfoKeyTISlThum || key == kInfoKeyTITrThum)
                EXPECT_EQ(decodedInfos[i].value(key).value<QImage>().convertToFormat(QImage::Format_ARGB32),
                          infos[i].value(key).value<QImage>().convertToFormat(QImage::Format_ARGB32));
            else
                EXPECT_EQ(decodedInfos[i].value(key), infos[i].value(key)) << key.toStdString();
        }
    }
}

TEST_F(TimelineArchive, DamagedRecordsAreMendedOrRefused)
{
    auto trim = [](float duration, float min, float max) {
        return forged("HLRenderEditTrim", [=](HLKeyedArchiver &coder) {
            coder.encodeFloat("kNSCodingTrimMin", min);
            coder.encodeFloat("kNSCodingTrimMax", max);
            coder.encodeFloat("kNSCodingDuration", duration);
            coder.encodeFloat("kNSCodingVolume", -2);
            coder.encodeBool("kNSCodingSolo", true);
        });
    };
    const auto mended = roundTrip<HLRenderEditTrim>(trim(10, 8, 5));
    EXPECT_LT(mended->dTrimMin(), mended->dTrimMax());
    EXPECT_EQ(mended->dTrimMax(), 5);
    EXPECT_EQ(mended->dTrimMin(), 4);
    EXPECT_EQ(mended->dVolume(), 0);
    const auto beyond = roundTrip<HLRenderEditTrim>(trim(6, -1, 40));
    EXPECT_EQ(beyond->dTrimMin(), 0);
    EXPECT_EQ(beyond->dTrimMax(), 6);
    for (const auto &bad : {trim(0, 0, 0), trim(-3, 0, 1), trim(NAN, 0, 1), trim(10, NAN, 5), trim(INFINITY, 0, 1)})
        EXPECT_THROW(roundTrip<HLRenderEditTrim>(bad), HLArchiveError);

    auto crop = [](float x, float w) {
        return forged("HLRenderEditCrop", [=](HLKeyedArchiver &coder) {
            coder.encodeFloat("kNSCodingRatioX", x);
            coder.encodeFloat("kNSCodingRatioY", 0);
            coder.encodeFloat("kNSCodingRatioW", w);
            coder.encodeFloat("kNSCodingRatioH", 1);
        });
    };
    const auto wide = roundTrip<HLRenderEditCrop>(crop(0.5f, 2));
    EXPECT_EQ(wide->dRatioW(), 1);
    EXPECT_EQ(wide->dRatioX(), 0);
    EXPECT_THROW(roundTrip<HLRenderEditCrop>(crop(NAN, 0.5f)), HLArchiveError);

    auto rotate = [](qint64 degrees) {
        return forged("HLRenderEditRotate", [=](HLKeyedArchiver &coder) {
            coder.encodeInt64("kNSCodingRotation", degrees);
            coder.encodeBool("kNSCodingFlipH", false);
            coder.encodeBool("kNSCodingFlipV", false);
        });
    };
    EXPECT_EQ(roundTrip<HLRenderEditRotate>(rotate(450))->iRotation(), 90);
    EXPECT_EQ(roundTrip<HLRenderEditRotate>(rotate(-90))->iRotation(), 270);
    EXPECT_THROW(roundTrip<HLRenderEditRotate>(rotate(45)), HLArchiveError);
    EXPECT_THROW(roundTrip<HLRenderEditRotate>(rotate(qint64(1) << 40)), HLArchiveError);

    auto effect = [](float value) {
        return forged("HLRenderEditEffect", [=](HLKeyedArchiver &coder) {
            for (const char *key : {"kNSCodingSaturation", "kNSCodingBrightness", "kNSCodingContrast", "kNSCodingHue",
                                    "kNSCodingSharpeness"})
                coder.encodeFloat(key, value);
        });
    };
    EXPECT_EQ(roundTrip<HLRenderEditEffect>(effect(5))->dHue(), 2);
    EXPECT_THROW(roundTrip<HLRenderEditEffect>(effect(NAN)), HLArchiveError);

    auto slideshowInfo = [](float phase) {
        return forged("HLSlideshowInfo", [=](HLKeyedArchiver &coder) {
            coder.encodeString("kNSCodingName", "Zoom");
            coder.encodeImage("kNSCodingThumb", thumb());
            coder.encodeInt64("kNSCodingBestCount", 1);
            coder.encodeFloat("kNSCodingBestDuration", 1);
            coder.encodeBool("kNSCodingPreferBack", true);
            coder.encodeBool("kNSCodingPreferBorder", false);
            for (const char *key : {"kNSCodingDuration_T_S", "kNSCodingDuration_S", "kNSCodingDuration_T",
                                    "kNSCodingDuration_T_A", "kNSCodingDuration_T_A_2", "kNSCodingDuration_T_B",
                                    "kNSCodingDuration_T_B_2"})
                coder.encodeFloat(key, phase);
        });
    };
    EXPECT_EQ(roundTrip<HLSlideshowInfo>(slideshowInfo(-4))->dDuration_S(), 0);
    EXPECT_THROW(roundTrip<HLSlideshowInfo>(slideshowInfo(NAN)), HLArchiveError);
    EXPECT_THROW(roundTrip<HLSlideshowInfo>(slideshowInfo(INFINITY)), HLArchiveError);

    auto transitionInfo = [](float best) {
        return forged("HLTransitionInfo", [=](HLKeyedArchiver &coder) {
            coder.encodeString("kNSCodingName", "Dissolve");
            coder.encodeImage("kNSCodingThumb", thumb());
            coder.encodeFloat("kNSCodingBestDuration", best);
        });
    };
    EXPECT_EQ(roundTrip<HLTransitionInfo>(transitionInfo(-1))->dBestDuration(), 0);
    EXPECT_THROW(roundTrip<HLTransitionInfo>(transitionInfo(NAN)), HLArchiveError);

    auto frame = [](float border, float background) {
        return forged("HLRenderEditSlideshow", [=](HLKeyedArchiver &coder) {
            coder.encodeBool("kNSCodingImageBorder", true);
            coder.encodeColor("kNSCodingBorderColor", Qt::white);
            coder.encodeFloat("kNSCodingBorderRatio", border);
            coder.encodeBool("kNSCodingImageBackground", true);
            coder.encodeColor("kNSCodingBackgroundColor", Qt::black);
            coder.encodeFloat("kNSCodingBackgroundRatio", background);
        });
    };
    const auto framed = roundTrip<HLRenderEditSlideshow>(frame(-1, 3));
    EXPECT_EQ(framed->dBorderRatio(), 0);
    EXPECT_EQ(framed->dBackgroundRatio(), 1);
    EXPECT_THROW(roundTrip<HLRenderEditSlideshow>(frame(NAN, 1)), HLArchiveError);
    EXPECT_THROW(roundTrip<HLRenderEditSlideshow>(frame(0.7f, INFINITY)), HLArchiveError);
}

std::shared_ptr<Forged> forgedSegment(const QString &ssid, float display, float transition, bool hasTransition,
                                      QList<std::shared_ptr<HLRenderItem>> items)
{
    return forged("HLSlideshowItem", [=](HLKeyedArchiver &coder) {
        coder.encodeString("kNSCodingSSID", ssid);
        coder.encodeObjectArray("kNSCodingItems", items);
        coder.encodeObject("kNSCodingSlideshowInfo", HLSlideshowInfo::slideshowInfoOf(slideshowTemplate()));
        coder.encodeObject("kNSCodingTransitionInfo", HLTransitionInfo::transitionInfoOf(transitionTemplate()));
        coder.encodeObject("kNSCodingRenderEdit", HLRenderEditSlideshow::renderEdit());
        coder.encodeObject("kNSCodingBackEdit", HLBackEditSlideshow::backEdit());
        coder.encodeFloat("kNSCodingSlideshowDisplay", display);
        coder.encodeFloat("kNSCodingSlideshowAnimate", 3);
        coder.encodeFloat("kNSCodingTransition", transition);
        coder.encodeBool("kNSCodingHasTransition", hasTransition);
    });
}

TEST_F(TimelineArchive, DamagedTimelinesAreMendedOrRefused)
{
    const auto one = HLRenderItem::renderItemOf(photo("1"));
    const auto two = HLRenderItem::renderItemOf(photo("2"));
    for (const float display : {0.0f, -1.0f, NAN})
        EXPECT_THROW(roundTrip<HLSlideshowItem>(forgedSegment("5", display, 1, true, {one})), HLArchiveError);
    EXPECT_THROW(roundTrip<HLSlideshowItem>(forgedSegment("5", 4, NAN, true, {one})), HLArchiveError);
    EXPECT_THROW(roundTrip<HLSlideshowItem>(forgedSegment("", 4, 1, true, {one})), HLArchiveError);
    EXPECT_EQ(roundTrip<HLSlideshowItem>(forgedSegment("5", 4, -2, true, {one}))->dTransition(), 0);

    auto timeline = [](float duration, QList<std::shared_ptr<Forged>> segments) {
        return forged("HLTimelineItem", [=](HLKeyedArchiver &coder) {
            coder.encodeInt64("kNSCodingMode", 30);
            coder.encodeFloat("kNSCodingDuration", duration);
            coder.encodeObjectArray("kNSCodingItems", segments);
        });
    };
    // An empty slideshow item is dropped and the transition flags put right.
    const auto mended = roundTrip<HLTimelineItem>(timeline(
        NAN, {forgedSegment("5", 4, 1, false, {one}), forgedSegment("6", 4, 1, true, {}),
              forgedSegment("7", 4, 1, true, {two})}));
    ASSERT_EQ(mended->slideshowItemsCount(), 2);
    EXPECT_TRUE(mended->mtAryItems()[0]->bHasTransition());
    EXPECT_FALSE(mended->mtAryItems()[1]->bHasTransition());
    EXPECT_EQ(mended->dDuration(), 4 + 1 + 4);
    EXPECT_EQ(roundTrip<HLTimelineItem>(timeline(12, {forgedSegment("5", 4, 1, false, {one})}))->dDuration(), 12);

    EXPECT_THROW(roundTrip<HLTimelineItem>(timeline(9, {forgedSegment("5", 4, 1, true, {one}),
                                                        forgedSegment("5", 4, 1, false, {two})})),
                 HLArchiveError);

    // A render item whose resource is music is no picture.
    const auto music = forged("HLRenderItem", [](HLKeyedArchiver &coder) {
        coder.encodeObject("kNSCodingResource", std::make_shared<HLResourceItem>(HLResourceTypeAudio, "TA3", "3",
                                                                                  QVariantMap{{"Duration", 3.0f}}));
        coder.encodeObject("kNSCodingCrop", HLRenderEditCrop::editCrop());
        coder.encodeObject("kNSCodingRotate", HLRenderEditRotate::editRotate());
        coder.encodeObject("kNSCodingEffect", HLRenderEditEffect::editEffect());
        coder.encodeObject("kNSCodingTrim", nullptr);
    });
    EXPECT_THROW(roundTrip<HLRenderItem>(music), HLArchiveError);

    // Truncated data.
    HLKeyedArchiver archiver;
    archiver.encodeObject("root", roundTrip<HLTimelineItem>(timeline(12, {forgedSegment("5", 4, 1, false, {one})})));
    const QByteArray data = archiver.encodedData();
    EXPECT_THROW(HLKeyedUnarchiver::fromData(data.left(data.size() / 2)).decodeObject<HLTimelineItem>("root"),
                 HLArchiveError);
}

} // namespace
