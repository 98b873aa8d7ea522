#include "SourceHL/Model/Textline/HLTextItem.h"

#include "SourceHL/Model/Textline/HLTextEdit.h"

#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

namespace {

// A title whose text is blanks over an opaque plate, so the picture shows the text box exactly.
std::shared_ptr<HLTextItem> plateTitle(QColor plate = Qt::red)
{
    auto item = HLTextItem::textItemOf("1");
    auto &style = *item->oTextEdit();
    style.setStrText("    ");
    style.setStrFont("DejaVu Sans");
    style.setBStaticBack(true);
    style.setClStaticBack(plate);
    style.setBStaticShadow(false);
    return item;
}

// Bounds of the pixels at least half opaque; empty when there are none.
QRect opaqueBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) >= 128)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

int alphaAt(const QImage &image, int x, int y)
{
    return qAlpha(image.pixel(x, y));
}

TEST(HLStaticImage, ScaleCoversTheFrameWithTheReferenceCanvas)
{
    const struct
    {
        QSizeF frame;
        float scale;
    } cases[] = {
        {{600, 450}, 1},
        {{1200, 900}, 2},
        {{1280, 720}, 1280.0f / 600},
        {{720, 960}, 960.0f / 450},
        {{300, 450}, 1},
        {{600, 100}, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.frame.width());
        EXPECT_FLOAT_EQ(HLTextItem::p_resizeRatioOfDisplaySize(c.frame, static_render_size), c.scale);
    }
}

TEST(HLStaticImage, TemplateTextHasNoStaticPicture)
{
    auto item = HLTextItem::textItemOf("1", {{"QuartzType", "QuartzTypeText"}, {"QuartzName", "FlyIn"}});
    EXPECT_TRUE(item->staticImageOfSize({600, 450}).isNull());
}

TEST(HLStaticImage, PlateIsTheTextBoxCentredAndScaledWithTheFrame)
{
    auto item = plateTitle();
    const QImage small = item->staticImageOfSize({600, 450});
    const QImage large = item->staticImageOfSize({1200, 900});
    ASSERT_EQ(small.size(), QSize(600, 450));
    ASSERT_EQ(large.size(), QSize(1200, 900));

    const QRect box = opaqueBounds(small);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_GT(box.width(), 40); // four blanks of a 60 point font
    EXPECT_GT(box.height(), 60);
    EXPECT_NEAR(box.center().x() + 0.5, 300, 1);
    EXPECT_NEAR(box.center().y() + 0.5, 225, 1);
    // The plate fills the box: opaque red at its corners (inside the antialiased rim) and middle.
    const QRect inner = box.adjusted(1, 1, -1, -1);
    for (const QPoint &p : {inner.topLeft(), inner.bottomRight(), box.center()})
        EXPECT_EQ(small.pixel(p), qRgb(255, 0, 0));
    EXPECT_EQ(alphaAt(small, 0, 0), 0);

    const QRect big = opaqueBounds(large);
    EXPECT_NEAR(big.width(), 2 * box.width(), 2);
    EXPECT_NEAR(big.height(), 2 * box.height(), 2);
    EXPECT_NEAR(big.center().x() + 0.5, 600, 1);
}

TEST(HLStaticImage, CentreRunsFromJustOutsideToJustOutside)
{
    auto item = plateTitle();
    auto &style = *item->oTextEdit();
    const QSize frame(600, 450);
    const QRect box = opaqueBounds(item->staticImageOfSize(frame));
    const double w = box.width();
    const double h = box.height();

    // 0 and 1 put the box just outside an edge, touching it.
    for (const auto &[x, y] : {std::pair{0.0f, 0.5f}, {1.0f, 0.5f}, {0.5f, 0.0f}, {0.5f, 1.0f}}) {
        style.setDCenterX(x);
        style.setDCenterY(y);
        EXPECT_TRUE(opaqueBounds(item->staticImageOfSize(frame)).isEmpty()) << x << " " << y;
    }

    // In between, the box's left edge is at (W + w) * x - w, its top (y-up) at (H + h) * y.
    style.setDCenterX(0.25f);
    style.setDCenterY(0.75f);
    const QRect placed = opaqueBounds(item->staticImageOfSize(frame));
    EXPECT_NEAR(placed.left(), (frame.width() + w) * 0.25 - w, 1);
    EXPECT_NEAR(placed.top(), frame.height() - (frame.height() + h) * 0.75, 1);
    EXPECT_EQ(placed.size(), box.size());

    // Four pixels of the box inside the left edge.
    style.setDCenterX(float(4 / (frame.width() + w)));
    style.setDCenterY(0.5f);
    const QRect edge = opaqueBounds(item->staticImageOfSize(frame));
    EXPECT_EQ(edge.left(), 0);
    EXPECT_NEAR(edge.width(), 4, 1);
}

TEST(HLStaticImage, PlateCornersAndOpacity)
{
    auto item = plateTitle(Qt::blue);
    auto &style = *item->oTextEdit();
    const QImage square = item->staticImageOfSize({600, 450});
    const QRect box = opaqueBounds(square);
    EXPECT_EQ(alphaAt(square, box.left() + 1, box.top() + 1), 255);

    // Radius 1: the corner radius is half the smaller side, so the ends are round.
    style.setDStaticBackRadius(1);
    const QImage round = item->staticImageOfSize({600, 450});
    EXPECT_EQ(alphaAt(round, box.left(), box.top()), 0);
    EXPECT_EQ(alphaAt(round, box.left() + 1, box.center().y()), 255);
    EXPECT_EQ(alphaAt(round, box.center().x(), box.top() + 1), 255);

    style.setDStaticBackRadius(0);
    style.setDStaticBackAlpha(0.5f);
    const QColor half = item->staticImageOfSize({600, 450}).pixelColor(box.center());
    EXPECT_NEAR(half.alpha(), 128, 1);
    EXPECT_EQ(half.blue(), 255);
}

TEST(HLStaticImage, ShadowFallsRightAndUpByTheScaledOffset)
{
    for (const double scale : {1.0, 2.0}) {
        SCOPED_TRACE(scale);
        auto item = plateTitle(Qt::white);
        auto &style = *item->oTextEdit();
        const QSizeF frame(600 * scale, 450 * scale);
        const QRect box = opaqueBounds(item->staticImageOfSize(frame));
        style.setBStaticShadow(true);
        style.setClStaticShadow(Qt::black);
        style.setDStaticShadowRadius(0);
        style.setDStaticShadowOffsetX(10);
        style.setDStaticShadowOffsetY(10);
        const QImage image = item->staticImageOfSize(frame);
        const int offset = int(10 * scale);

        EXPECT_EQ(image.pixel(box.center()), qRgb(255, 255, 255)); // the plate stays on top
        // Right of the box, the shadow spans the box's rows moved up by the offset.
        EXPECT_EQ(image.pixel(box.right() + offset / 2, box.top() - offset / 2), qRgb(0, 0, 0));
        EXPECT_EQ(alphaAt(image, box.right() + offset / 2, box.bottom() - offset / 2), 0);
        EXPECT_EQ(alphaAt(image, box.right() + offset + 2, box.center().y()), 0);
        // Above the box, it starts offset to the right.
        EXPECT_EQ(alphaAt(image, box.left() + offset / 2, box.top() - offset / 2), 0);
        EXPECT_EQ(image.pixel(box.left() + offset + 2, box.top() - offset / 2), qRgb(0, 0, 0));
    }
}

TEST(HLStaticImage, ShadowBlurSoftensItsEdge)
{
    auto item = plateTitle(Qt::white);
    auto &style = *item->oTextEdit();
    const QRect box = opaqueBounds(item->staticImageOfSize({600, 450}));
    style.setBStaticShadow(true);
    style.setDStaticShadowOffsetX(0);
    style.setDStaticShadowOffsetY(0);
    style.setDStaticShadowRadius(8);
    const QImage image = item->staticImageOfSize({600, 450});
    const int inner = alphaAt(image, box.right() + 1, box.center().y());
    const int outer = alphaAt(image, box.right() + 5, box.center().y());
    EXPECT_GT(inner, outer);
    EXPECT_GT(outer, 0);
    EXPECT_LT(inner, 255);
    EXPECT_EQ(alphaAt(image, box.right() + 20, box.center().y()), 0);
}

TEST(HLStaticImage, TextIsDrawnInItsColour)
{
    auto item = HLTextItem::textItemOf("1");
    auto &style = *item->oTextEdit();
    style.setStrText("HHH");
    style.setStrFont("DejaVu Sans");
    style.setClFont(Qt::green);
    style.setBStaticShadow(false);
    const QImage image = item->staticImageOfSize({600, 450});
    const QRect ink = opaqueBounds(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x() + 0.5, 300, 3);
    int solid = 0;
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 255) {
                ++solid;
                EXPECT_EQ(pixel, qRgb(0, 255, 0));
            }
        }
    EXPECT_GT(solid, 100);
}

TEST(HLStaticImage, EmptyTextOrAnUnknownFontStillGiveAFramePicture)
{
    auto item = HLTextItem::textItemOf("1");
    item->oTextEdit()->setStrText("");
    item->oTextEdit()->setBStaticBack(true);
    const QImage empty = item->staticImageOfSize({320, 240});
    ASSERT_EQ(empty.size(), QSize(320, 240));
    EXPECT_TRUE(opaqueBounds(empty).isEmpty());

    item->oTextEdit()->setStrText("Title");
    item->oTextEdit()->setStrFont("No Such Font Anywhere");
    EXPECT_FALSE(opaqueBounds(item->staticImageOfSize({320, 240})).isEmpty());
}

} // namespace
