#include "Platform/Composer/Composition.h"
#include "Platform/Composer/CompositionRenderer.h"
#include "Platform/Imaging/Picture.h"
#include "tests/support/MediaFixtures.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>

namespace {

std::shared_ptr<const Composition> make(const QByteArray &json, const SlideTiming &timing = {})
{
    QString error;
    auto c = Composition::fromJson(json, timing, &error);
    EXPECT_TRUE(c) << qPrintable(error);
    return c;
}

QImage solid(QColor colour, QSize size = QSize(40, 30))
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(colour);
    return img;
}

// Pixel probe with a tolerance per channel.
::testing::AssertionResult near(const QImage &img, int x, int y, QColor expected, int tolerance = 3)
{
    const QColor got = QColor::fromRgba(img.pixel(x, y));
    const int d = std::max({std::abs(got.red() - expected.red()), std::abs(got.green() - expected.green()),
                            std::abs(got.blue() - expected.blue()), std::abs(got.alpha() - expected.alpha())});
    if (d <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at (" << x << ", " << y << ") got " << qPrintable(got.name(QColor::HexArgb))
                                         << ", expected " << qPrintable(expected.name(QColor::HexArgb));
}

TEST(CompositionTest, LoadFaultsNameThePlace)
{
    const struct
    {
        const char *json;
        const char *reason;
    } cases[] = {
        {"{", "unterminated"},
        {R"J({"format": 2})J", "unknown format 2"},
        {R"J({"layers": [{"type": "blob"}]})J", "layers[0]: unknown layer type 'blob'"},
        {R"J({"layers": [{"type": "group", "layers": [{"type": "fill", "opacity": "tme"}]}]})J",
         "layers[0].layers[0].opacity: unknown name 'tme'"},
        {R"J({"layers": [{"type": "picture", "image": "item"}]})J", "\"item\" only inside a repeat"},
        {R"J({"layers": [{"type": "fill", "opacity": "pin"}]})J", "unknown name 'pin'"},
        {R"J({"layers": [{"type": "fill", "opacity": {"keys": [[1, 0], [0, 1]]}}]})J", "keys must be in time order"},
        {R"J({"layers": [{"type": "group", "mask": {"type": "star"}}]})J", "unknown mask type 'star'"},
        {R"J({"layers": [{"type": "fill", "color": "#zzz"}]})J", "layers[0].color: bad colour"},
        {R"J({"layers": [{"type": "fill", "rect": [0, 0, 1]}]})J", "expected an array of 4"},
        {R"J({"let": [["Time", "1"]]})J", "bad or taken name 'Time'"},
        {R"J({"layers": [{"type": "text", "opacity": "li"}]})J", "unknown name 'li'"},
    };
    for (const auto &c : cases) {
        QString error;
        EXPECT_FALSE(Composition::fromJson(c.json, {}, &error)) << c.json;
        EXPECT_TRUE(error.contains(c.reason)) << c.json << " gave: " << qPrintable(error);
    }
}

TEST(CompositionRendererTest, PicturesFitFillStretchAndCrop)
{
    const QImage halves = MediaFixtures::halves(40, 20); // 2:1, left red, right blue
    const struct
    {
        const char *layer;
        QPoint probe;
        QColor expected;
    } cases[] = {
        {R"J({"type": "picture", "image": "A", "fit": "fit"})J", {50, 10}, Qt::transparent},   // letterbox
        {R"J({"type": "picture", "image": "A", "fit": "fit"})J", {25, 50}, Qt::red},
        {R"J({"type": "picture", "image": "A", "fit": "fill"})J", {25, 5}, Qt::red}, // centre crop: both halves
        {R"J({"type": "picture", "image": "A", "fit": "fill"})J", {75, 90}, Qt::blue},
        {R"J({"type": "picture", "image": "A", "fit": "stretch", "crop": [0, 0, 0.5, 1]})J", {90, 90}, Qt::red},
        {R"J({"type": "picture", "image": "A", "rect": [0.5, 0.5, 0.5, 0.5], "fit": "stretch"})J", {25, 25}, Qt::transparent},
        {R"J({"type": "picture", "image": "A", "rect": [0.5, 0.5, 0.5, 0.5], "fit": "stretch"})J", {60, 75}, Qt::red},
        {R"J({"type": "picture", "image": "A", "rect": [0, 0, 0.5, 0.5], "translate": [0.5, 0], "fit": "stretch"})J", {90, 25}, Qt::blue},
        {R"J({"type": "picture", "image": "A", "fit": "stretch", "opacity": 0.5})J", {10, 10}, QColor(128, 0, 0, 128)},
        {R"J({"type": "picture", "image": "Missing", "fit": "stretch"})J", {10, 10}, Qt::transparent},
        {R"J({"type": "picture", "image": "A", "fit": "stretch", "rotate": 180})J", {10, 50}, Qt::blue},
    };
    for (const auto &c : cases) {
        CompositionRenderer r(make(QByteArray(R"J({"format": 1, "layers": [)J") + c.layer + "]}"), QSize(100, 100));
        r.setValue("A", halves);
        EXPECT_TRUE(near(r.render(0), c.probe.x(), c.probe.y(), c.expected)) << c.layer;
    }
}

// A portrait photo padded to 4:3 with transparent bands: "trim" lays out the photo itself.
TEST(CompositionRendererTest, TrimLaysOutThePaddedPhoto)
{
    QImage padded(40, 30, QImage::Format_ARGB32_Premultiplied);
    padded.fill(Qt::transparent);
    {
        QPainter p(&padded);
        p.fillRect(10, 0, 20, 15, Qt::red); // the photo: red above, blue below
        p.fillRect(10, 15, 20, 15, Qt::blue);
    }
    const struct
    {
        const char *layer;
        QPoint probe;
        QColor expected;
    } cases[] = {
        {R"J({"type": "picture", "image": "A", "fit": "fit", "trim": true})J", {20, 25}, Qt::red},
        {R"J({"type": "picture", "image": "A", "fit": "fit", "trim": true})J", {80, 75}, Qt::blue},
        {R"J({"type": "picture", "image": "A", "fit": "fit", "trim": true})J", {10, 50}, Qt::transparent},
        {R"J({"type": "picture", "image": "A", "fit": "fit"})J", {20, 25}, Qt::transparent},
        {R"J({"type": "picture", "image": "A", "fit": "fill", "trim": true})J", {3, 3}, Qt::red},
        {R"J({"type": "picture", "image": "A", "fit": "fill", "trim": true})J", {96, 96}, Qt::blue},
        {R"J({"type": "picture", "image": "A", "fit": "stretch", "trim": true, "crop": [0, 0.5, 1, 0.5]})J", {3, 3}, Qt::blue},
    };
    for (const auto &c : cases) {
        CompositionRenderer r(make(QByteArray(R"J({"format": 1, "layers": [)J") + c.layer + "]}"), QSize(100, 100));
        r.setValue("A", padded);
        EXPECT_TRUE(near(r.render(0), c.probe.x(), c.probe.y(), c.expected)) << c.layer;
    }
}

// A portrait photo: a red top row, a blue bottom row, green between.
QImage portrait()
{
    QImage img(30, 40, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::green);
    QPainter p(&img);
    p.fillRect(0, 0, 30, 4, Qt::red);
    p.fillRect(0, 36, 30, 4, Qt::blue);
    return img;
}

// A fill that would cut more than maxCut shows the picture whole on its backdrop; pan moves the kept
// part along the side that is cut.
TEST(CompositionRendererTest, PortraitsShowWholeOnABackdropOrPanAlongTheirLength)
{
    const QColor dimGreen(0, 255 - 90, 0); // green under the default backdrop colour (alpha 90)
    const struct
    {
        const char *layer;
        std::vector<std::pair<QPoint, QColor>> probes;
    } cases[] = {
        // 4:3 frame of 120 × 90: the 3:4 photo would lose 44 % of its height; fitted it is 67 wide
        {R"J({"type": "picture", "image": "A", "maxCut": 0.3, "backdrop": {"blur": 8}})J",
         {{{60, 1}, Qt::red}, {{60, 88}, Qt::blue}, {{60, 45}, Qt::green}, {{8, 45}, dimGreen}, {{112, 45}, dimGreen}}},
        // the backdrop takes the layer's own colour
        {R"J({"type": "picture", "image": "A", "maxCut": 0.3, "backdrop": {"color": "#ff000000"}})J",
         {{{60, 1}, Qt::red}, {{8, 45}, Qt::black}}},
        // without a limit a fill cuts as before: the middle fills the frame
        {R"J({"type": "picture", "image": "A", "backdrop": {"blur": 8}})J",
         {{{60, 1}, Qt::green}, {{8, 45}, Qt::green}, {{60, 88}, Qt::green}}},
        // a limit the cut stays within changes nothing: the frame is filled, no backdrop
        {R"J({"type": "picture", "image": "A", "maxCut": 0.5, "backdrop": {"blur": 8}})J",
         {{{60, 1}, Qt::green}, {{3, 3}, Qt::green}}},
        // pan 0 keeps the top, pan 1 the bottom
        {R"J({"type": "picture", "image": "A", "pan": 0})J", {{{60, 2}, Qt::red}, {{60, 88}, Qt::green}}},
        {R"J({"type": "picture", "image": "A", "pan": "Time"})J", {{{60, 2}, Qt::green}, {{60, 88}, Qt::blue}}},
    };
    for (const auto &c : cases) {
        CompositionRenderer r(make(QByteArray(R"J({"format": 1, "layers": [)J") + c.layer + "]}"), QSize(120, 90));
        r.setValue("A", portrait());
        const QImage img = r.render(1);
        for (const auto &[at, colour] : c.probes)
            EXPECT_TRUE(near(img, at.x(), at.y(), colour, 6)) << c.layer;
    }
}

// Names a repeat computes per entry are known to its own values and layers, not outside it.
TEST(CompositionRendererTest, RepeatLetsArePerEntry)
{
    CompositionRenderer r(make(R"J({"format": 1, "layers": [
        {"type": "repeat", "visible": true, "let": [["column", "i % 2"], ["left", "column * 0.5"]],
         "opacity": "column == 0 ? 1 : 0.5",
         "layers": [{"type": "picture", "image": "item", "fit": "stretch", "rect": ["left", 0, 0.5, 1]}]}]})J"),
                          QSize(40, 20));
    r.setValue("Images", QVariantList{QVariantMap{{"Image", solid(Qt::red)}}, QVariantMap{{"Image", solid(Qt::blue)}}});
    const QImage img = r.render(0);
    EXPECT_TRUE(near(img, 5, 10, Qt::red));
    EXPECT_TRUE(near(img, 30, 10, QColor(0, 0, 128, 128)));
    QString error;
    EXPECT_FALSE(Composition::fromJson(R"J({"layers": [{"type": "repeat", "let": [["left", "i"]]},
        {"type": "fill", "opacity": "left"}]})J", {}, &error));
    EXPECT_TRUE(error.contains("layers[1].opacity: unknown name 'left'")) << qPrintable(error);
}

TEST(CompositionRendererTest, MasksKeepWhatTheyShow)
{
    const struct
    {
        const char *mask;
        QPoint shown, hidden;
    } cases[] = {
        {R"J({"type": "wipe", "angle": 0, "progress": 0.5})J", {40, 50}, {60, 50}},
        {R"J({"type": "wipe", "angle": 0, "progress": 0.5, "invert": true})J", {60, 50}, {40, 50}},
        {R"J({"type": "wipe", "angle": 180, "progress": 0.3, "feather": 0.1})J", {90, 50}, {40, 50}},
        {R"J({"type": "wipe", "angle": 90, "progress": 0.5, "feather": 0.05})J", {50, 20}, {50, 80}},
        {R"J({"type": "iris", "progress": 0.3})J", {50, 50}, {2, 2}},
        {R"J({"type": "iris", "progress": 0.3, "feather": 0.2, "invert": true})J", {2, 2}, {50, 50}},
        {R"J({"type": "stripes", "count": 4, "progress": 0.5})J", {30, 50}, {45, 50}},
        {R"J({"type": "checker", "count": 2, "rows": 2, "progress": 0.5})J", {25, 25}, {75, 25}},
        {R"J({"type": "ellipse", "rect": [0.25, 0.25, 0.5, 0.5]})J", {50, 50}, {27, 27}},
        {R"J({"type": "rect", "rect": [0, 0, 0.5, 1]})J", {10, 90}, {90, 10}},
    };
    for (const auto &c : cases) {
        const QByteArray json = QByteArray(R"J({"format": 1, "layers": [{"type": "group", "mask": )J") + c.mask
                                + R"J(, "layers": [{"type": "fill", "color": "#00ff00"}]}]})J";
        CompositionRenderer r(make(json), QSize(100, 100));
        const QImage img = r.render(0);
        EXPECT_TRUE(near(img, c.shown.x(), c.shown.y(), Qt::green)) << c.mask;
        EXPECT_TRUE(near(img, c.hidden.x(), c.hidden.y(), Qt::transparent)) << c.mask;
    }
    // a feathered edge is partly transparent, a hard one is not
    CompositionRenderer soft(make(R"J({"format": 1, "layers": [{"type": "group",
        "mask": {"type": "wipe", "progress": 0.5, "feather": 0.2},
        "layers": [{"type": "fill", "color": "#00ff00"}]}]})J"), QSize(100, 100));
    const int alpha = qAlpha(soft.render(0).pixel(50, 50));
    EXPECT_GT(alpha, 20);
    EXPECT_LT(alpha, 235);
}

// Masks made of upright rectangles are drawn piece by piece under rectangle clips; the pixels must
// be those of Qt's clip with the mask's outline, antialiased edges included.
TEST(CompositionRendererTest, RectangleMasksMatchTheirOutlineClip)
{
    const QSize size(61, 47);
    const double W = size.width(), H = size.height();
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 4, y * 5, 255 - x * 2));
    auto stripes = [&](int count, double progress) {
        QPainterPath path;
        path.setFillRule(Qt::WindingFill); // the parts overlap by half a pixel at full progress
        const double w = W / count;
        for (int k = 0; k < count; ++k)
            path.addRect(QRectF(k * w, 0, progress * w + (progress >= 1 ? 0.5 : 0), H));
        return path;
    };
    auto checker = [&](int cols, int rows, double progress) {
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        const double cw = W / cols, ch = H / rows;
        for (int row = 0; row < rows; ++row)
            for (int col = 0; col < cols; ++col) {
                // cells grow in whole pixels
                const double q = std::clamp(progress * 2 - ((row + col) % 2), 0.0, 1.0);
                const double left = std::round(col * cw), right = std::round(col * cw + q * cw);
                if (right > left)
                    path.addRect(QRectF(QPointF(left, std::round(row * ch)), QPointF(right, std::round((row + 1) * ch))));
            }
        return path;
    };
    QPainterPath hole;
    hole.addRect(QRectF(-1, -1, W + 2, H + 2));
    QPainterPath cut;
    cut.addRect(QRectF(0.1 * W, 0.2 * H, 0.5 * W, 0.33 * H));
    hole = hole.subtracted(cut);
    const struct
    {
        const char *mask;
        double scale;
        QPainterPath outline;
    } cases[] = {
        {R"J({"type": "stripes", "count": 5, "progress": 0.37})J", 1, stripes(5, 0.37)},
        {R"J({"type": "stripes", "count": 7, "progress": 1})J", 1, stripes(7, 1)},
        {R"J({"type": "stripes", "count": 5, "progress": 0.61})J", 0.8, stripes(5, 0.61)},
        {R"J({"type": "checker", "count": 4, "rows": 3, "progress": 0.3})J", 1, checker(4, 3, 0.3)},
        {R"J({"type": "checker", "count": 5, "rows": 3, "progress": 0.8})J", 1, checker(5, 3, 0.8)},
        {R"J({"type": "rect", "rect": [0.1, 0.2, 0.5, 0.33], "invert": true})J", 1, hole},
    };
    for (const auto &c : cases) {
        const QByteArray json = QByteArray(R"J({"format": 1, "layers": [{"type": "group", "scale": )J")
                                + QByteArray::number(c.scale) + R"J(, "mask": )J" + c.mask
                                + R"J(, "layers": [{"type": "picture", "image": "ImageA"}]}]})J";
        CompositionRenderer r(make(json), size);
        r.setValue("ImageA", picture);
        const QImage got = r.render(0);

        QImage expected(size, QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::transparent);
        {
            QPainter p(&expected);
            p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
            p.translate(W / 2, H / 2);
            p.scale(c.scale, c.scale);
            p.translate(-W / 2, -H / 2);
            p.setClipPath(c.outline);
            p.drawImage(QRectF(0, 0, W, H), picture);
        }
        int worst = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QRgb a = got.pixel(x, y), b = expected.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            }
        EXPECT_LE(worst, 2) << c.mask << " scale " << c.scale;
    }
}

TEST(CompositionRendererTest, BlendsAndGroupOpacity)
{
    // Two overlapping layers at half group opacity: the group is flattened first, so the overlap
    // is not darker than the rest.
    CompositionRenderer r(make(R"J({"format": 1, "background": "#ffffff", "layers": [
        {"type": "group", "opacity": 0.5, "layers": [
           {"type": "fill", "color": "#000000", "rect": [0, 0, 0.75, 1]},
           {"type": "fill", "color": "#000000", "rect": [0.25, 0, 0.75, 1]}]},
        {"type": "group", "blend": "multiply", "layers": [{"type": "fill", "color": "#ff0000", "rect": [0, 0.5, 1, 0.5]}]}
    ]})J"), QSize(100, 100));
    const QImage img = r.render(0);
    EXPECT_TRUE(near(img, 10, 10, QColor(128, 128, 128)));
    EXPECT_TRUE(near(img, 50, 10, QColor(128, 128, 128)));
    EXPECT_TRUE(near(img, 50, 90, QColor(128, 0, 0)));
}

TEST(CompositionRendererTest, GradientsKeptBetweenFramesDrawWhatAFillDraws)
{
    // A still gradient behind the canvas is drawn once and copied on later frames; every frame
    // must show the very pixels a gradient fill gives, blended in any mode, and gradients that
    // are moved or partly transparent as well. A small fill that moves with Time makes each
    // frame a new drawing.
    const QSize size(200, 100);
    const double diagonal = std::hypot(200.0, 100.0);
    struct Case
    {
        const char *layer;
        QColor background;
        double opacity;
        QPainter::CompositionMode mode;
        QPointF offset;
        std::function<QBrush()> brush;
    };
    auto radial = [&] {
        QRadialGradient g(QPointF(100, 40), 0.75 * diagonal);
        g.setStops({{0, QColor(0x80, 0xff, 0x40, 0x90)}, {1, QColor(0x10, 0x20, 0x30)}});
        return QBrush(g);
    };
    auto linear = [&] {
        QLinearGradient g(QPointF(0, 0), QPointF(0, 100));
        g.setStops({{0, QColor("#ffe0c0")}, {1, QColor("#204060")}});
        return QBrush(g);
    };
    const std::vector<Case> cases = {
        {R"J({"type": "gradient", "kind": "radial", "from": [0.5, 0.4], "radius": 0.75,
             "stops": [[0, "#9080ff40"], [1, "#102030"]]})J",
         QColor("#203040"), 1, QPainter::CompositionMode_SourceOver, {}, radial},
        {R"J({"type": "gradient", "from": [0, 0], "to": [0, 1], "blend": "multiply",
             "stops": [[0, "#ffe0c0"], [1, "#204060"]]})J",
         QColor("#80c040"), 1, QPainter::CompositionMode_Multiply, {}, linear},
        {R"J({"type": "gradient", "from": [0, 0], "to": [0, 1], "opacity": 0.6,
             "stops": [[0, "#ffe0c0"], [1, "#204060"]]})J",
         QColor("#80c040"), 0.6, QPainter::CompositionMode_SourceOver, {}, linear},
        {R"J({"type": "gradient", "from": [0, 0], "to": [0, 1], "translate": [0.1, 0.2],
             "stops": [[0, "#ffe0c0"], [1, "#204060"]]})J",
         QColor("#000000"), 1, QPainter::CompositionMode_SourceOver, {20, 20}, linear},
    };
    for (const Case &c : cases) {
        QImage expected(size, QImage::Format_ARGB32_Premultiplied);
        expected.fill(c.background);
        {
            QPainter p(&expected);
            p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
            p.translate(c.offset);
            p.setOpacity(c.opacity);
            p.setCompositionMode(c.mode);
            p.fillRect(QRectF(QPointF(0, 0), QSizeF(size)), c.brush());
        }
        CompositionRenderer r(make(QByteArray(R"J({"format": 1, "background": ")J") + c.background.name().toUtf8()
                                   + R"J(", "layers": [)J" + c.layer
                                   + R"J(, {"type": "fill", "color": "#ffffff", "rect": ["0.01 * Time", 0, 0.02, 0.05]}]})J"),
                              size);
        for (double time : {0.0, 1.0, 2.0}) {
            const QImage img = r.render(time);
            int differing = 0;
            for (int y = 10; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    differing += img.pixel(x, y) != expected.pixel(x, y);
            EXPECT_EQ(differing, 0) << c.layer << " at " << time;
        }
        EXPECT_EQ(r.drawnFrames(), 3);
    }
}

TEST(CompositionRendererTest, KeyframesAndLetsFollowTime)
{
    CompositionRenderer r(make(R"J({"format": 1, "let": [["half", "Time * 0.5"]], "layers": [
        {"type": "fill", "color": "#ff0000", "opacity": {"keys": [[0, 0], [1, 1], [2, 0.5, "easeIn"]]}, "rect": [0, 0, 0.5, 1]},
        {"type": "fill", "color": "#0000ff", "opacity": "half", "rect": [0.5, 0, 0.5, 1]}]})J"), QSize(20, 10));
    const struct
    {
        double time;
        int redAlpha, blueAlpha;
    } cases[] = {{-1, 0, 0}, {0.5, 128, 64}, {1, 255, 128}, {1.5, 223, 191}, {3, 128, 255}};
    for (const auto &c : cases) {
        const QImage img = r.render(c.time);
        EXPECT_NEAR(qAlpha(img.pixel(2, 5)), c.redAlpha, 2) << c.time;
        EXPECT_NEAR(qAlpha(img.pixel(15, 5)), c.blueAlpha, 2) << c.time;
    }
}

SlideTiming timing()
{
    SlideTiming t;
    t.durationTS = 1;
    t.durationS = 2;
    t.durationT = 1;
    t.durationTA = 1;
    t.durationTB = 1;
    t.durationTB2 = 1;
    return t;
}

const QByteArray kSlides = R"J({"format": 1, "background": "#000000", "layers": [
    {"type": "repeat", "over": "Images", "layers": [
      {"type": "picture", "image": "item", "fit": "stretch", "opacity": "pin"}]}]})J";

TEST(CompositionRendererTest, RepeaterFollowsTheSolidPhases)
{
    // three pictures, T = 1 and S = 2 each: entries at 0, 3, 6; total 9
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    QVariantList images;
    for (const QColor &c : colours)
        images.append(QVariantMap{{"Image", solid(c)}});
    const auto c = make(kSlides, timing());
    CompositionRenderer r(c, QSize(40, 30));
    r.setValue("Images", images);
    CompositionRenderer index(c->indexComposition(), QSize(16, 16));
    index.setValue("Count", 3);
    const struct
    {
        double time;
        std::vector<int> shown;
        QColor colour;
    } cases[] = {
        {0, {}, Qt::black},                          // picture 0 enters from nothing
        {0.5, {0}, QColor(128, 0, 0)},
        {2, {0}, Qt::red},                           // hold
        {3, {0}, Qt::red},                           // boundary belongs to the earlier picture
        {3.5, {0, 1}, QColor(128, 128, 0)},          // picture 1 enters over picture 0
        {4.5, {1}, Qt::green},
        {6.5, {1, 2}, QColor(0, 128, 128)},
        {9, {2}, Qt::blue},                          // the very end still shows the last picture
    };
    for (const auto &k : cases) {
        r.setValue("Time", k.time);
        index.setValue("Time", k.time);
        EXPECT_TRUE(near(r.render(), 20, 15, k.colour)) << k.time;
        std::vector<int> expected = k.shown;
        if (k.time == 0)
            expected = {}; // opacity 0: neither drawn nor prepared
        EXPECT_EQ(r.indexes(), expected) << k.time;
        EXPECT_EQ(index.indexes(), expected) << k.time; // the derived index composition agrees
        EXPECT_EQ(index.value("Indexs").toMap().size(), int(expected.size())) << k.time;
    }
    EXPECT_EQ(qAlpha(index.render().pixel(1, 1)), 0); // an index composition draws nothing
}

TEST(CompositionRendererTest, EmptyEntriesAndPhaseFunctions)
{
    const auto c = make(R"J({"format": 1, "layers": [
        {"type": "repeat", "visible": "Time >= entry && Time <= endOf(i + 1)", "layers": [
          {"type": "picture", "image": "item", "fit": "stretch", "rect": ["i * 0.5", 0, 0.5, 1]}]}]})J",
                        timing());
    CompositionRenderer r(c, QSize(40, 20));
    r.setValue("Images", QVariantList{QVariantMap{{"Image", solid(Qt::red)}}, QVariantMap{}});
    r.setValue("Time", 5.0); // picture 0 stays until picture 2 has entered; picture 1 is empty
    const QImage img = r.render();
    EXPECT_TRUE(near(img, 5, 10, Qt::red));
    EXPECT_TRUE(near(img, 30, 10, Qt::transparent));
    EXPECT_EQ(r.indexes(), (std::vector<int>{0, 1}));
}

TEST(CompositionRendererTest, SameInputsGiveSamePixelsAndReuseTheLastFrame)
{
    const auto c = make(R"J({"format": 1, "background": "#102030", "layers": [
        {"type": "picture", "image": "A", "fit": "fit", "radius": 10, "border": {"width": 3, "color": "#ffffff"},
         "shadow": {"blur": 6, "dx": 3, "dy": 3}, "rotate": "Time * 10", "scale": "mix(1, 1.2, Time)"},
        {"type": "text", "text": "Hello", "font": "DejaVu Sans", "size": 40, "shadow": {"blur": 3},
         "outline": {"width": 2, "color": "#000000"}, "letters": {"opacity": "ramp(Time, li / ln, li / ln + 0.2)"}},
        {"type": "group", "mask": {"type": "iris", "progress": "Time", "feather": 0.1}, "layers": [
          {"type": "gradient", "kind": "radial", "stops": [[0, "#80ff0000"], [1, "#000000ff"]]}]}]})J");
    QImage photo = solid(Qt::yellow, QSize(64, 48));
    QPainter(&photo).fillRect(0, 0, 32, 24, Qt::darkCyan);
    CompositionRenderer a(c, QSize(240, 180)), b(c, QSize(240, 180));
    a.setValue("A", photo);
    b.setPicture("A", Picture::fromImage(photo));
    for (double t : {0.0, 0.37, 0.8}) {
        const QImage first = a.render(t);
        EXPECT_EQ(first, b.render(t)) << t;
        EXPECT_EQ(first, a.render(t)) << t;
    }
    EXPECT_EQ(a.drawnFrames(), 3);
    EXPECT_EQ(a.reusedFrames(), 3);
    a.setValue("A", solid(Qt::white)); // a new input draws again
    a.render(0.8);
    EXPECT_EQ(a.drawnFrames(), 4);
}

TEST(CompositionRendererTest, TextScalesFromTheReferenceCanvas)
{
    const auto c = make(R"J({"format": 1, "layers": [{"type": "text", "size": "FontSize",
        "rect": ["X - 0.5", "0.5 - Y", 1, 1], "opacity": "ramp(Time, 0, MoveIn)"}]})J");
    auto inkWidth = [&](QSize size, double time) {
        CompositionRenderer r(c, size);
        r.setValue("Content", "Wide title");
        r.setValue("FontName", "DejaVu Sans");
        r.setValue("FontSize", 30.0);
        r.setValue("FontColor", QColor(Qt::white));
        r.setValue("MoveIn", 0.5);
        r.setValue("X", 0.5);
        r.setValue("Y", 0.5);
        const QImage img = r.render(time);
        int left = img.width(), right = -1;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(img.pixel(x, y)) > 128)
                    left = std::min(left, x), right = std::max(right, x);
        return right < 0 ? 0 : right - left;
    };
    const int small = inkWidth(QSize(600, 450), 1), large = inkWidth(QSize(1200, 900), 1);
    EXPECT_GT(small, 100);
    EXPECT_NEAR(large, 2 * small, 6);
    EXPECT_EQ(inkWidth(QSize(600, 450), 0), 0); // not yet moved in
}

} // namespace
