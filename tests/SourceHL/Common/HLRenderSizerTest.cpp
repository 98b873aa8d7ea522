#include "SourceHL/Common/HLRenderSizer.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "tests/support/ForgedRecord.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

TEST(HLRenderSizer, FactoryRefusesNonPositiveSizesAndLimits)
{
    EXPECT_EQ(HLRenderSizer::renderSizerOf(QSizeF(0, 600), 1200), nullptr);
    EXPECT_EQ(HLRenderSizer::renderSizerOf(QSizeF(800, 0), 1200), nullptr);
    EXPECT_EQ(HLRenderSizer::renderSizerOf(QSizeF(800, 600), 0), nullptr);
    auto sizer = HLRenderSizer::renderSizerOf(QSizeF(1280, 960), 1200);
    ASSERT_NE(sizer, nullptr);
    EXPECT_EQ(sizer->enType(), 0);
}

TEST(HLRenderSizer, SettersIgnoreNonPositiveValues)
{
    auto sizer = HLRenderSizer::renderSizerOf(QSizeF(800, 600), 1200);
    sizer->setSzRender(QSizeF(0, 600));
    sizer->setSzRender(QSizeF(640, -1));
    EXPECT_EQ(sizer->szRender(), QSizeF(800, 600));
    sizer->setDPreviewLimit(0);
    sizer->setDPreviewLimit(-5);
    EXPECT_EQ(sizer->dPreviewLimit(), 1200.0f);
    sizer->setSzRender(QSizeF(1920, 1080));
    sizer->setDPreviewLimit(720);
    EXPECT_EQ(sizer->szRender(), QSizeF(1920, 1080));
    EXPECT_EQ(sizer->dPreviewLimit(), 720.0f);
}

TEST(HLRenderSizer, TypedRenderSizeLimitsTheLongerSide)
{
    struct Case
    {
        QSizeF size;
        float limit;
        QSizeF typed;
        QSize even;
    };
    const Case cases[] = {
        {{1280, 960}, 1200, {1200, 900}, {1200, 900}},
        {{1280, 720}, 1200, {1200, 675}, {1200, 674}},
        {{800, 600}, 1200, {800, 600}, {800, 600}},
        {{1080, 1920}, 1200, {675, 1200}, {674, 1200}},
        {{1200, 1200}, 1200, {1200, 1200}, {1200, 1200}},
        {{1366, 768}, 1200, {1200, 1200 / float(1366.0 / 768.0)}, {1200, 674}},
        {{1, 1000}, 100, {0.1f, 100}, {2, 100}},
    };
    for (const auto &c : cases) {
        auto sizer = HLRenderSizer::renderSizerOf(c.size, c.limit);
        const QSizeF typed = sizer->typedRenderSize();
        EXPECT_FLOAT_EQ(float(typed.width()), float(c.typed.width())) << c.size.width();
        EXPECT_FLOAT_EQ(float(typed.height()), float(c.typed.height())) << c.size.width();
        EXPECT_EQ(sizer->evenRenderSize(), c.even) << c.size.width();
    }

    // Any other type renders at the full size.
    auto sizer = HLRenderSizer::renderSizerOf(QSizeF(1920, 1080), 1200);
    sizer->setEnType(1);
    EXPECT_EQ(sizer->typedRenderSize(), QSizeF(1920, 1080));
}

TEST(HLRenderSizer, RenderRatio)
{
    EXPECT_FLOAT_EQ(HLRenderSizer::renderSizerOf(QSizeF(1920, 1080), 1200)->renderRatio(), 1.7777778f);
    EXPECT_FLOAT_EQ(HLRenderSizer::renderSizerOf(QSizeF(600, 800), 1200)->renderRatio(), 0.75f);
}

namespace {

QByteArray archived(const std::shared_ptr<const HLCoding> &sizer)
{
    HLKeyedArchiver archiver;
    archiver.encodeObject(QStringLiteral("kNSCodingRenderSizer"), sizer);
    return archiver.encodedData();
}

std::shared_ptr<HLRenderSizer> unarchived(const QByteArray &data)
{
    auto coder = HLKeyedUnarchiver::fromData(data);
    return coder.decodeObject<HLRenderSizer>(QStringLiteral("kNSCodingRenderSizer"));
}

} // namespace

TEST(HLRenderSizer, ArchiveRoundTripResetsTheType)
{
    HLRenderSizer::registerCoding();
    auto sizer = HLRenderSizer::renderSizerOf(QSizeF(1366, 768), 1000.5f);
    sizer->setEnType(1);
    auto copy = unarchived(archived(sizer));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->szRender(), QSizeF(1366, 768));
    EXPECT_EQ(copy->dPreviewLimit(), 1000.5f);
    EXPECT_EQ(copy->enType(), 0);
}

TEST(HLRenderSizer, DamagedArchivesAreRefused)
{
    HLRenderSizer::registerCoding();
    const std::function<void(HLKeyedArchiver &)> writers[] = {
        [](HLKeyedArchiver &c) {
            c.encodeSize("kNSCodingRenderSize", QSizeF(0, 720));
            c.encodeFloat("kNSCodingPreviewLimit", 1200);
        },
        [](HLKeyedArchiver &c) {
            c.encodeSize("kNSCodingRenderSize", QSizeF(1280, 720));
            c.encodeFloat("kNSCodingPreviewLimit", -1);
        },
        [](HLKeyedArchiver &c) {
            c.encodeSize("kNSCodingRenderSize", QSizeF(1e12, 720));
            c.encodeFloat("kNSCodingPreviewLimit", 1200);
        },
        [](HLKeyedArchiver &c) {
            c.encodeSize("kNSCodingRenderSize", QSizeF(1280, 720));
            c.encodeFloat("kNSCodingPreviewLimit", std::numeric_limits<float>::quiet_NaN());
        },
        [](HLKeyedArchiver &c) { c.encodeSize("kNSCodingRenderSize", QSizeF(1280, 720)); },
        [](HLKeyedArchiver &c) {
            c.encodeString("kNSCodingRenderSize", "1280x720");
            c.encodeFloat("kNSCodingPreviewLimit", 1200);
        },
    };
    int index = 0;
    for (const auto &write : writers) {
        EXPECT_THROW(unarchived(archived(forged("HLRenderSizer", write))), HLArchiveError) << "case " << index;
        ++index;
    }
}
