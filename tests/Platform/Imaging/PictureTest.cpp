#include "Platform/Imaging/Picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

// A picture whose every pixel is different, so a remap shows where each one went.
QImage numbered(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x * 20, y * 20, 7, 255));
    return image;
}

void expectRect(const QRectF &actual, const QRectF &expected)
{
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
    EXPECT_NEAR(actual.width(), expected.width(), 1e-9);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-9);
}

constexpr double w = 400, h = 300;

struct MoveCase
{
    const char *name;
    std::function<Picture(const Picture &)> move;
    QRectF extent;
};

TEST(Picture, MovesGiveTheExtentsOfTheYUpPlane)
{
    const MoveCase cases[] = {
        {"mirror", [](const Picture &p) { return p.scaled(-1, 1); }, {-w, 0, w, h}},
        {"flip", [](const Picture &p) { return p.scaled(1, -1); }, {0, -h, w, h}},
        {"both", [](const Picture &p) { return p.scaled(-1, -1); }, {-w, -h, w, h}},
        {"double", [](const Picture &p) { return p.scaled(2, 2); }, {0, 0, 2 * w, 2 * h}},
        {"quarter", [](const Picture &p) { return p.rotated(M_PI / 2); }, {-h, 0, h, w}},
        {"half", [](const Picture &p) { return p.rotated(M_PI); }, {-w, -h, w, h}},
        {"three quarters", [](const Picture &p) { return p.rotated(3 * M_PI / 2); }, {0, -w, h, w}},
        {"clockwise", [](const Picture &p) { return p.rotated(-M_PI / 2); }, {0, -w, h, w}},
        {"translate", [](const Picture &p) { return p.translated(3.5, -2); }, {3.5, -2, w, h}},
        // The rotate edit's chain: centre on the origin, turn, move back to (0, 0).
        {"rotate edit",
         [](const Picture &p) {
             const Picture turned = p.translated(-w * 0.5, -h * 0.5).rotated(M_PI * (90 / 180.0));
             return turned.translated(-turned.extent().x(), -turned.extent().y());
         },
         {0, 0, h, w}},
    };
    const Picture picture = Picture::fromImage(QImage(int(w), int(h), QImage::Format_ARGB32_Premultiplied));
    for (const MoveCase &c : cases) {
        SCOPED_TRACE(c.name);
        expectRect(c.move(picture).extent(), c.extent);
    }
}

struct RemapCase
{
    const char *name;
    std::function<Picture(const Picture &)> move;
    QSize size;
    // The source pixel (QImage coordinates) expected at destination (x, y).
    std::function<QPoint(int x, int y)> source;
};

TEST(Picture, FlipsAndQuarterTurnsMovePixelsExactly)
{
    constexpr int W = 5, H = 3; // odd sides: the rotate edit's half-size moves are half units
    const RemapCase cases[] = {
        {"mirror", [](const Picture &p) { return p.scaled(-1, 1); }, {W, H},
         [](int x, int y) { return QPoint(W - 1 - x, y); }},
        {"flip", [](const Picture &p) { return p.scaled(1, -1); }, {W, H},
         [](int x, int y) { return QPoint(x, H - 1 - y); }},
        {"counter-clockwise", [](const Picture &p) { return p.rotated(M_PI / 2); }, {H, W},
         [](int x, int y) { return QPoint(W - 1 - y, x); }},
        {"clockwise", [](const Picture &p) { return p.rotated(-M_PI / 2); }, {H, W},
         [](int x, int y) { return QPoint(y, H - 1 - x); }},
        {"half", [](const Picture &p) { return p.translated(-W * 0.5, -H * 0.5).rotated(M_PI); }, {W, H},
         [](int x, int y) { return QPoint(W - 1 - x, H - 1 - y); }},
        {"transposed", [](const Picture &p) { return p.transformed(QTransform(0, 1, 1, 0, 0, 0)); }, {H, W},
         [](int x, int y) { return QPoint(W - 1 - y, H - 1 - x); }},
    };
    const QImage source = numbered(W, H);
    for (const RemapCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QImage moved = c.move(Picture::fromImage(source)).image();
        ASSERT_EQ(moved.size(), c.size);
        for (int y = 0; y < moved.height(); ++y)
            for (int x = 0; x < moved.width(); ++x)
                ASSERT_EQ(moved.pixel(x, y), source.pixel(c.source(x, y))) << x << "," << y;
    }
}

TEST(Picture, BothFlipsEqualAHalfTurn)
{
    const Picture picture = Picture::fromImage(numbered(4, 3));
    EXPECT_EQ(picture.scaled(-1, -1).image(), picture.rotated(M_PI).image());
}

TEST(Picture, OtherScalesResampleOntoTheCoveringGrid)
{
    QImage plain(4, 4, QImage::Format_ARGB32_Premultiplied);
    plain.fill(qRgba(10, 200, 30, 255));
    const Picture scaled = Picture::fromImage(plain).scaled(2.5, 0.5);
    expectRect(scaled.extent(), {0, 0, 10, 2});
    EXPECT_EQ(scaled.image().pixel(5, 1), qRgba(10, 200, 30, 255));
}

TEST(Picture, CropKeepsItsPlaceMeasuredFromTheBottom)
{
    const QImage source = numbered(12, 8);
    // A quarter-width, half-height crop at (3, 4) in the y-up plane.
    const Picture cut = Picture::fromImage(source).cropped(QRectF(3, 4, 6, 4));
    expectRect(cut.extent(), {3, 4, 6, 4});
    const QImage pixels = cut.image();
    ASSERT_EQ(pixels.size(), QSize(6, 4));
    // Its lower-left pixel is the source's pixel 3 from the left, 4 up from the bottom row.
    EXPECT_EQ(pixels.pixel(0, 3), source.pixel(3, 8 - 4 - 1));
    EXPECT_EQ(pixels.pixel(5, 0), source.pixel(8, 0));
    // Outside the picture there is nothing.
    EXPECT_TRUE(Picture::fromImage(source).cropped(QRectF(20, 0, 5, 5)).isNull());
    expectRect(Picture::fromImage(source).cropped(QRectF(-5, -5, 10, 10)).extent(), {0, 0, 5, 5});
}

TEST(Picture, ColourHasNoBoundsUntilCropped)
{
    const Picture blue = Picture::colored(QColor(0, 0, 255));
    EXPECT_TRUE(blue.isInfinite());
    EXPECT_FALSE(blue.isNull());
    EXPECT_TRUE(blue.image().isNull());
    EXPECT_GT(blue.extent().width(), 1e300);
    const QImage cut = blue.cropped(QRectF(-3, 7, 2, 3)).image();
    ASSERT_EQ(cut.size(), QSize(2, 3));
    EXPECT_EQ(cut.pixel(1, 2), qRgb(0, 0, 255));
    // Moves leave a colour as it is.
    EXPECT_TRUE(blue.rotated(0.3).isInfinite());
}

TEST(Picture, SourceOverAColourIsInfiniteAndCropsToTheComposite)
{
    QImage half(2, 2, QImage::Format_ARGB32_Premultiplied);
    half.fill(qRgba(128, 0, 0, 128)); // red at half coverage
    const Picture over = Picture::fromImage(half, {1, 1}).sourceOver(Picture::colored(QColor(0, 0, 255)));
    EXPECT_TRUE(over.isInfinite());
    const QImage cut = over.cropped(QRectF(0, 0, 4, 4)).image();
    ASSERT_EQ(cut.size(), QSize(4, 4));
    EXPECT_EQ(cut.pixel(0, 0), qRgb(0, 0, 255));
    const QRgb inside = cut.pixel(1, 1);
    EXPECT_NEAR(qRed(inside), 128, 1);
    EXPECT_NEAR(qBlue(inside), 127, 1);
    EXPECT_EQ(qAlpha(inside), 255);
}

TEST(Picture, SourceOverOfFinitePicturesCoversBothExtents)
{
    QImage red(2, 2, QImage::Format_ARGB32_Premultiplied);
    red.fill(qRgb(255, 0, 0));
    QImage green(3, 1, QImage::Format_ARGB32_Premultiplied);
    green.fill(qRgb(0, 255, 0));
    const Picture over = Picture::fromImage(red, {2, 0}).sourceOver(Picture::fromImage(green, {0, 0}));
    expectRect(over.extent(), {0, 0, 4, 2});
    const QImage pixels = over.image();
    EXPECT_EQ(pixels.pixel(0, 1), qRgb(0, 255, 0));
    EXPECT_EQ(pixels.pixel(2, 1), qRgb(255, 0, 0));
    EXPECT_EQ(pixels.pixel(0, 0), 0u); // nothing above the green row
}

TEST(Picture, SourceInKeepsOnlyWhereTheBackgroundCovers)
{
    QImage mask(2, 1, QImage::Format_ARGB32_Premultiplied);
    mask.setPixel(0, 0, qRgba(0, 0, 0, 255));
    mask.setPixel(1, 0, qRgba(0, 0, 0, 64));
    const Picture in = Picture::colored(QColor(255, 255, 255)).sourceIn(Picture::fromImage(mask, {5, 5}));
    EXPECT_FALSE(in.isInfinite());
    expectRect(in.extent(), {5, 5, 2, 1});
    EXPECT_EQ(in.image().pixel(0, 0), qRgba(255, 255, 255, 255));
    EXPECT_EQ(in.image().pixel(1, 0), qRgba(64, 64, 64, 64));
}

TEST(Picture, RenderFillsWhatThePictureLacksWithTransparency)
{
    QImage one(1, 1, QImage::Format_ARGB32_Premultiplied);
    one.fill(qRgb(9, 9, 9));
    const QImage rendered = Picture::fromImage(one, {1, 1}).render(QRectF(0, 0, 3, 3));
    ASSERT_EQ(rendered.size(), QSize(3, 3));
    EXPECT_EQ(rendered.pixel(1, 1), qRgb(9, 9, 9));
    EXPECT_EQ(rendered.pixel(0, 0), 0u);
    EXPECT_TRUE(Picture().render(QRectF(0, 0, 3, 3)).isNull());
}

} // namespace
