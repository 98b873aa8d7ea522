#include "widgets/HLNamedImage.h"
#include "widgets/HLUITimeView.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

QImage opaqueOn(const QImage &image, int width, int height)
{
    QImage out(width, height, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::black);
    QPainter painter(&out);
    painter.drawImage(0, 0, image);
    return out;
}

TEST(HLUITimeViewTest, NamesTheGlyphPicturesInOrder)
{
    HLUITimeView view;
    view.setEnType(3);
    view.setDTime(6000.5f);
    const QStringList expected = {"TimeNum1", "TimeNum0", "TimeNum0", "TimeSep", "TimeNum0",
                                  "TimeNum0", "TimeDot",  "TimeNum5", "TimeNum0"};
    EXPECT_EQ(view.glyphNames(), expected);
    view.setEnType(4);
    view.setDTime(3725);
    EXPECT_EQ(view.glyphNames(), QStringList({"TimeNum0", "TimeNum1", "TimeSep", "TimeNum0", "TimeNum2", "TimeSep",
                                              "TimeNum0", "TimeNum5"}));
    view.setEnType(2);
    EXPECT_EQ(view.glyphNames(), QStringList({"TimeNum6", "TimeNum2", "TimeSep", "TimeNum0", "TimeNum5"}));
}

// Each glyph lands from the left edge, side by side at its own width, on the bottom edge.
TEST(HLUITimeViewTest, DrawsEachGlyphInItsSlot)
{
    HLUITimeView view;
    view.setEnType(2);
    view.setDTime(3725);
    view.resize(120, 30);
    const QImage drawn = opaqueOn(view.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), 120, 30);
    int x = 0;
    for (const QString &name : view.glyphNames()) {
        const QSize size = HLNamedImage::size(name);
        ASSERT_FALSE(size.isEmpty()) << qPrintable(name);
        const QImage glyph = opaqueOn(HLNamedImage::pixmap(name, 1.0).toImage(), size.width(), size.height());
        EXPECT_EQ(drawn.copy(x, 30 - size.height(), size.width(), size.height()), glyph) << qPrintable(name);
        x += size.width();
    }
    // Nothing beyond the last glyph.
    const QImage rest = drawn.copy(x, 0, 120 - x, 30);
    for (int y = 0; y < rest.height(); ++y)
        for (int px = 0; px < rest.width(); ++px)
            ASSERT_EQ(rest.pixel(px, y), qRgb(0, 0, 0));
}

} // namespace
