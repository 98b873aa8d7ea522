// The template tile: its layout, its flags, the content it takes from another tile and the
// live frame it shows.
#include "SourceHL/View/HLQuartzPreviewView.h"

#include "SourceHL/Common/HLFontHelper.h"

#include <QEnterEvent>
#include <QFontMetricsF>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QImage filled(const QColor &color, QSize size = {40, 30})
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

TEST(HLQuartzPreviewViewTest, AChooserTileHasItsPictureOverItsTitle)
{
    std::unique_ptr<HLQuartzPreviewView> tile(HLQuartzPreviewView::quartzPreviewViewOf(
        QRectF(QPointF(0, 0), HLQuartzPreviewView::previewViewSize()), QStringLiteral("Dissolve"), filled(Qt::red)));
    EXPECT_EQ(tile->rctImage(), QRectF(5, 22.5, 120, 87.5));
    EXPECT_EQ(tile->rctTitle(), QRectF(0, 0, 130, 22.5));
    EXPECT_TRUE(tile->bCanPreview());
    EXPECT_TRUE(tile->bCanChoose());
    std::unique_ptr<HLQuartzPreviewView> simple(HLQuartzPreviewView::simpleQuartzPreviewViewOf(QRectF(0, 0, 200, 150)));
    EXPECT_EQ(simple->rctImage(), QRectF(0, 0, 200, 150));
    EXPECT_TRUE(simple->rctTitle().isNull());
}

// The columns of the title band that hold the title's white ink: first and last.
std::pair<int, int> titleInk(const QString &title)
{
    std::unique_ptr<HLQuartzPreviewView> tile(HLQuartzPreviewView::quartzPreviewViewOf(
        QRectF(QPointF(0, 0), HLQuartzPreviewView::previewViewSize()), title, filled(Qt::black)));
    tile->setAutoFillBackground(true);
    tile->setPalette(QPalette(Qt::black));
    const QImage shown = tile->grab().toImage();
    const int bandTop = int(tile->height() - tile->rctTitle().height());
    int first = shown.width(), last = -1;
    for (int y = bandTop; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (qGray(shown.pixel(x, y)) > 128) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

TEST(HLQuartzPreviewViewTest, ALongTemplateNameIsSetSmallerToFitTheTileAndAShortOneKeepsItsSize)
{
    // Under the picture: from x = 5 to 125.
    const auto [first, last] = titleInk(QStringLiteral("KenBurnsPanRight"));
    EXPECT_GE(first, 5);
    EXPECT_LT(last, 125);
    EXPECT_GT(last - first, 90); // the whole name, not a few letters and an ellipsis

    // "Zoom" drawn at the full size is wider than it would be at the smaller sizes.
    const auto [zoomFirst, zoomLast] = titleInk(QStringLiteral("Zoom"));
    const QFont full = hl_fontWithName(QStringLiteral("Times New Roman"), 14);
    EXPECT_NEAR(zoomLast - zoomFirst + 1, QFontMetricsF(full).tightBoundingRect(QStringLiteral("Zoom")).width(), 2);
}

TEST(HLQuartzPreviewViewTest, FlagsGateTheCallbacksWhichGetTheTileThatHadTheEvent)
{
    std::unique_ptr<HLQuartzPreviewView> chooser(HLQuartzPreviewView::quartzPreviewViewOf(
        QRectF(0, 0, 130, 115), QStringLiteral("Zoom"), filled(Qt::green)));
    QStringList log;
    auto note = [&log](const char *what) {
        return [&log, what](HLQuartzPreviewView *tile) { log.append(QStringLiteral("%1 %2").arg(what, tile->objectName())); };
    };
    chooser->setUpMouseEnter(note("enter"), note("down"), note("exit"));
    std::unique_ptr<HLQuartzPreviewView> editor(HLQuartzPreviewView::simpleQuartzPreviewViewOf(QRectF(0, 0, 100, 75)));
    editor->setObjectName(QStringLiteral("editor"));
    editor->setBIsChosen(true);
    editor->syncContentWith(*chooser);
    EXPECT_EQ(editor->strTitle(), "Zoom");
    EXPECT_EQ(editor->imgStatic().pixelColor(0, 0), QColor(Qt::green));
    EXPECT_TRUE(editor->rctTitle().isNull()); // its own layout stays
    EXPECT_TRUE(editor->bIsChosen());

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(editor.get(), &enter);
    QTest::mouseClick(editor.get(), Qt::LeftButton);
    QApplication::sendEvent(editor.get(), &leave);
    EXPECT_EQ(log, QStringList({"enter editor", "down editor", "exit editor"}));

    log.clear();
    editor->setBCanPreview(false);
    editor->setBCanChoose(false);
    QApplication::sendEvent(editor.get(), &enter);
    QTest::mouseClick(editor.get(), Qt::LeftButton);
    QApplication::sendEvent(editor.get(), &leave);
    EXPECT_TRUE(log.isEmpty());
}

TEST(HLQuartzPreviewViewTest, ALiveFrameShowsBlackWhereItIsTransparentAndNoneShowsTheThumbnail)
{
    std::unique_ptr<HLQuartzPreviewView> tile(HLQuartzPreviewView::simpleQuartzPreviewViewOf(QRectF(0, 0, 40, 30)));
    tile->setImgStatic(filled(Qt::white));
    QImage frame = filled(Qt::transparent);
    for (int y = 0; y < 30; ++y)
        for (int x = 20; x < 40; ++x)
            frame.setPixelColor(x, y, Qt::blue);
    tile->update(frame);
    const QImage shown = tile->grab().toImage();
    EXPECT_EQ(shown.pixelColor(5, 15), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(30, 15), QColor(Qt::blue));
    const QImage held = tile->imgDynamic();
    tile->setImgDynamic(held); // the same picture: nothing to do
    EXPECT_EQ(tile->imgDynamic().cacheKey(), held.cacheKey());
    tile->update(QImage());
    EXPECT_EQ(tile->grab().toImage().pixelColor(5, 15), QColor(Qt::white));
}

} // namespace
