#include "RenderProject.h"

#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLTextRender.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"

#include <gtest/gtest.h>

namespace {

// Whether the overlay draws anything.
int coveredPixels(const QImage &image)
{
    int covered = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            covered += qAlpha(image.pixel(x, y)) > 64;
    }
    return covered;
}

class TextlineRenderTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { RenderProject::setUpTemplates(); }
    void SetUp() override
    {
        textline = HLTextlineItem::textline();
        sizer = HLRenderSizer::renderSizerOf(QSizeF(160, 120), 1200);
        render = HLTextlineRender::textlineRenderOf(textline, false, sizer, HLQuartzPool::quartzPoolOf(3));
    }

    // A title playing from start to end seconds.
    std::shared_ptr<HLTextItem> add(const QString &id, float start, float end, const QString &templ = QString())
    {
        QVariantMap info;
        if (!templ.isEmpty())
            info = HLQuartzPool::quartzPoolOf(3)->infoDicOf(templ).value_or(QVariantMap());
        auto title = HLTextItem::textItemOf(id, info);
        title->updateLineMin(start * 10, end * 10);
        title->oTextEdit()->setStrText("HHHH");
        title->oTextEdit()->setClFont(Qt::white);
        textline->add(title);
        textline->setupTimeMap([](float position) { return position / 10; });
        textline->syncPlayTime();
        return title;
    }

    QImage at(float time, HLRenderMode mode = HLRenderModePreview)
    {
        return mode == HLRenderModePreview ? render->renderPreview(time) : render->renderExport(time);
    }

    std::shared_ptr<HLTextlineItem> textline;
    std::shared_ptr<HLRenderSizer> sizer;
    std::shared_ptr<HLTextlineRender> render;
};

TEST_F(TextlineRenderTest, StaticTitlesAreDrawnOnceAndRedrawnWhenChanged)
{
    EXPECT_TRUE(at(1).isNull());
    const auto title = add("T1", 1, 3);
    const QImage first = at(1);
    ASSERT_EQ(first.size(), QSize(160, 120));
    EXPECT_GT(coveredPixels(first), 20);
    EXPECT_EQ(at(2).cacheKey(), first.cacheKey()) << "an unchanged title is kept";

    title->oTextEdit()->setStrText("H");
    title->oTextEdit()->makeDirty();
    const QImage changed = at(2.1f);
    EXPECT_NE(changed.cacheKey(), first.cacheKey());
    EXPECT_LT(coveredPixels(changed), coveredPixels(first));
    EXPECT_EQ(at(2.2f).cacheKey(), changed.cacheKey()) << "drawn once per edit";

    EXPECT_TRUE(at(3).isNull()) << "the play range is half-open";
    EXPECT_TRUE(render->imgStatic().isNull());
}

// A frame writes nothing of the model: a preview and an export over one text line both redraw an
// edited title, whichever draws first, and the frame draws the time it is given.
TEST_F(TextlineRenderTest, EveryRendererRedrawsAnEditedTitle)
{
    const auto title = add("T1", 0, 5);
    auto exporter = HLTextlineRender::textlineRenderOf(textline, false, sizer, HLQuartzPool::quartzPoolOf(3));
    const int wide = coveredPixels(render->renderPreview(1));
    EXPECT_EQ(coveredPixels(exporter->renderExport(1)), wide);

    title->oTextEdit()->setStrText("H");
    title->oTextEdit()->makeDirty();
    const quint64 generation = title->oTextEdit()->iDirtyGeneration();
    const int narrow = coveredPixels(exporter->renderExport(1.5f));
    EXPECT_LT(narrow, wide);
    EXPECT_EQ(coveredPixels(render->renderPreview(1.5f)), narrow) << "the export must not take the edit away";
    EXPECT_EQ(title->oTextEdit()->iDirtyGeneration(), generation);

    textline->update(2); // the play step's time is not the frame's
    EXPECT_TRUE(render->renderPreview(6).isNull());
}

TEST_F(TextlineRenderTest, TemplateTitlesReuseTheirRenderer)
{
    add("T1", 1, 3, "Fade");
    add("T2", 5, 7, "Fade");
    add("T3", 7.5f, 9, "Fade");
    EXPECT_GT(coveredPixels(at(2)), 20);
    const auto kept = render->oTextRenderNow();
    ASSERT_TRUE(kept);
    EXPECT_EQ(coveredPixels(at(1)), 0) << "the template time starts at 0, faded out";
    EXPECT_EQ(render->oTextRenderNow(), kept);
    EXPECT_TRUE(at(4).isNull());
    EXPECT_FALSE(render->oTextRenderNow());
    at(6);
    const auto next = render->oTextRenderNow();
    at(8);
    EXPECT_EQ(render->oTextRenderNow(), next) << "another title of the same template";
    EXPECT_TRUE(render->oTextRenderNow());
    EXPECT_NE(render->oTextRenderNow(), kept);
}

TEST_F(TextlineRenderTest, ExportAgreesWithPreviewApartFromSize)
{
    sizer->setSzRender(QSizeF(320, 240));
    sizer->setDPreviewLimit(160);
    for (const QString &templ : {QString(), QStringLiteral("Fade")}) {
        textline = HLTextlineItem::textline();
        render = HLTextlineRender::textlineRenderOf(textline, false, sizer, HLQuartzPool::quartzPoolOf(3));
        add("T", 0, 2, templ);
        const QImage preview = at(1);
        const QImage exported = at(1, HLRenderModeExport);
        ASSERT_EQ(preview.size(), QSize(160, 120));
        ASSERT_EQ(exported.size(), QSize(320, 240));
        const QImage reduced = exported.scaled(preview.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_NEAR(coveredPixels(reduced), coveredPixels(preview), coveredPixels(preview) / 5 + 4)
            << qPrintable(templ);
        // Back in preview the kept picture of the export size is not used.
        EXPECT_EQ(at(1.1f).size(), QSize(160, 120));
    }
}

TEST_F(TextlineRenderTest, ClearIsTakenAtTheNextFrame)
{
    add("T1", 0, 2);
    const QImage first = at(1);
    render->clear();
    EXPECT_FALSE(render->imgStatic().isNull());
    EXPECT_NE(at(1.1f).cacheKey(), first.cacheKey());
}

} // namespace
