#include "SourceHL/Common/HLImageHelper.h"

#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <functional>
#include <string>
#include <vector>

namespace {

QImage solid(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

// Three bands from left to right: red quarter, green half, blue quarter.
QImage bands(int width, int height)
{
    QImage image = solid(width, height, Qt::green);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 4, height, Qt::red);
    painter.fillRect(width - width / 4, 0, width / 4, height, Qt::blue);
    return image;
}

// The quantisation tables (DQT segments) of a JPEG file, in the order written; the coarser
// a table's steps, the lower the quality.
std::vector<std::vector<int>> quantisationTables(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    auto byteAt = [&](qsizetype i) { return i < bytes.size() ? int(uchar(bytes[i])) : 0; };
    std::vector<std::vector<int>> tables;
    for (qsizetype at = 2; at + 4 <= bytes.size() && byteAt(at) == 0xFF;) {
        const int marker = byteAt(at + 1);
        const qsizetype length = byteAt(at + 2) << 8 | byteAt(at + 3);
        if (marker == 0xDA) // the picture data: no tables after it
            break;
        for (qsizetype i = at + 4; marker == 0xDB && i < at + 2 + length;) {
            const bool wide = byteAt(i) >> 4; // 16-bit steps
            std::vector<int> table;
            for (int k = 0; k < 64; ++k)
                table.push_back(wide ? byteAt(i + 1 + 2 * k) << 8 | byteAt(i + 2 + 2 * k) : byteAt(i + 1 + k));
            tables.push_back(table);
            i += 1 + (wide ? 128 : 64);
        }
        at += 2 + length;
    }
    return tables;
}

void expectSize(QSizeF actual, QSizeF expected)
{
    EXPECT_NEAR(actual.width(), expected.width(), 1e-3);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-3);
}

void expectRect(const QRectF &actual, const QRectF &expected)
{
    EXPECT_NEAR(actual.x(), expected.x(), 1e-6);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-6);
    EXPECT_NEAR(actual.width(), expected.width(), 1e-6);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-6);
}

void expectAssertion(const std::function<void()> &call, const char *message)
{
    try {
        call();
        ADD_FAILURE() << "no assertion, expected " << message;
    } catch (const HLAssertionFailure &failure) {
        EXPECT_STREQ(failure.what(), message);
    }
}

TEST(HLImageHelper, GeometryGivesTheWorkedExamples)
{
    expectSize(HLImageHelper::maxInsideSize({400, 300}, {100, 100}), {100, 75});
    expectSize(HLImageHelper::minOutsideSize({400, 300}, {100, 100}), {133.3333, 100});
    expectSize(HLImageHelper::maxInsideSize({4000, 3000}, {1200, 900}), {1200, 900});
    expectSize(HLImageHelper::maxInsideSize({300, 400}, {100, 100}), {75, 100});
    expectSize(HLImageHelper::minOutsideSize({300, 400}, {100, 100}), {100, 133.3333});
    // The middle 300 × 300 of 400 × 300, and the whole of it for a box of its own aspect.
    expectRect(HLImageHelper::limitCroppedRatioRect({400, 300}, {100, 100}), {0.125, 0, 0.75, 1});
    expectRect(HLImageHelper::limitCroppedRatioRect({400, 300}, {400, 300}), {0, 0, 1, 1});
    expectRect(HLImageHelper::limitCroppedRatioRect({300, 400}, {100, 100}), {0, 0.125, 1, 0.75});
    expectRect(HLImageHelper::croppedDrawRect({400, 300}, {0.25, 0, 0.5, 1}), {-100, 0, 400, 300});
    expectRect(HLImageHelper::dragBadgeRect({300, 600}), {195, 5, 100, 100});
    expectRect(HLImageHelper::flipped({195, 5, 100, 100}, 600), {195, 495, 100, 100});
}

TEST(HLImageHelper, ArgumentChecks)
{
    EXPECT_NO_THROW(static_validate_crop_ratio_rect({0.5, 0.5, 0.5, 0.5}));
    EXPECT_NO_THROW(static_validate_crop_ratio_rect({0, 0, 1, 1}));
    for (const QRectF &bad : {QRectF(0.6, 0, 0.5, 1), QRectF(0, 0, 0, 1), QRectF(-0.1, 0, 0.5, 0.5),
                              QRectF(0, 0.5, 1, 0.6)})
        expectAssertion([&] { static_validate_crop_ratio_rect(bad); }, "bad rect");
    expectAssertion([] { static_validate_size({0, 10}); }, "bad size");
    expectAssertion([] { static_validate_min_max(1.5f, 0, 1); }, "bad value");
    expectAssertion([] { static_validate_object(QString()); }, "bad obj");
    expectAssertion([] { HLImageHelper::hlImageOf({10, 10}, nullptr); }, "bad obj");
    expectAssertion([] { HLImageHelper::hlMaxInsideImageOf(solid(4, 4, Qt::red), {0, 5}); }, "bad size");
}

TEST(HLImageHelper, OffScreenPicturesHaveWholePixelsAndAtLeastOne)
{
    QRectF given;
    const QImage image = HLImageHelper::hlImageOf({10.9, 5.2}, [&](QPainter &painter, const QRectF &rect) {
        given = rect;
        painter.fillRect(rect, Qt::red);
    });
    EXPECT_EQ(image.size(), QSize(10, 5));
    EXPECT_EQ(given, QRectF(0, 0, 10, 5));
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(image.pixel(9, 4), qRgb(255, 0, 0));
    // Below one point: still a picture, not a null one.
    EXPECT_EQ(HLImageHelper::hlImageOf({0.5, 0.3}, [](QPainter &, const QRectF &) {}).size(), QSize(1, 1));
}

struct FitCase
{
    const char *name;
    std::function<QImage(const QImage &)> fit;
    QSize from, to;
    bool same; // the very picture comes back
};

TEST(HLImageHelper, FitsAndLimitsGiveTheirSizes)
{
    using H = HLImageHelper;
    const FitCase cases[] = {
        {"max inside", [](const QImage &i) { return H::hlMaxInsideImageOf(i, {100, 100}); }, {400, 300}, {100, 75}, false},
        {"min outside", [](const QImage &i) { return H::hlMinOutsideImageOf(i, {100, 100}); }, {400, 300}, {133, 100}, false},
        {"max inside, same size", [](const QImage &i) { return H::hlMaxInsideImageOf(i, {40, 30}); }, {40, 30}, {40, 30}, true},
        // The preview limit scaled down tenfold: 120 × 90.
        {"limit inside, larger", [](const QImage &i) { return H::hlLimitInsideImageOf(i, {120, 90}); }, {400, 300}, {120, 90}, false},
        {"limit inside, smaller", [](const QImage &i) { return H::hlLimitInsideImageOf(i, {120, 90}); }, {120, 90}, {120, 90}, true},
        {"limit inside, one way", [](const QImage &i) { return H::hlLimitInsideImageOf(i, {120, 90}); }, {400, 80}, {400, 80}, true},
        {"limit outside", [](const QImage &i) { return H::hlLimitOutsideImageOf(i, {10, 10}); }, {400, 300}, {13, 10}, false},
        {"limit outside, one way", [](const QImage &i) { return H::hlLimitOutsideImageOf(i, {10, 10}); }, {400, 8}, {400, 8}, true},
        {"limit cropped", [](const QImage &i) { return H::hlLimitCroppedImageOf(i, {100, 100}); }, {400, 300}, {100, 100}, false},
        {"limit cropped, own aspect", [](const QImage &i) { return H::hlLimitCroppedImageOf(i, {400, 300}); }, {400, 300}, {400, 300}, true},
        {"crop whole", [](const QImage &i) { return H::hlCroppedImageOf(i, {0, 0, 1, 1}); }, {400, 300}, {400, 300}, true},
        {"crop middle", [](const QImage &i) { return H::hlCroppedImageOf(i, {0.25, 0, 0.5, 1}); }, {400, 300}, {200, 300}, false},
    };
    for (const FitCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QImage source = bands(c.from.width(), c.from.height());
        const QImage fitted = c.fit(source);
        EXPECT_EQ(fitted.size(), c.to);
        EXPECT_EQ(fitted.cacheKey() == source.cacheKey(), c.same);
    }
}

TEST(HLImageHelper, CropsCountFromTheBottomLeft)
{
    // The middle half of the bands is all green.
    const QImage middle = HLImageHelper::hlCroppedImageOf(bands(400, 300), {0.25, 0, 0.5, 1});
    for (QPoint p : {QPoint(0, 0), QPoint(199, 299), QPoint(100, 150)})
        EXPECT_EQ(middle.pixel(p), qRgb(0, 255, 0));
    QImage halves = solid(20, 20, Qt::blue);
    QPainter(&halves).fillRect(0, 0, 20, 10, Qt::red); // the top half
    const QImage upper = HLImageHelper::hlCroppedImageOf(halves, {0, 0.5, 1, 0.5});
    ASSERT_EQ(upper.size(), QSize(20, 10));
    EXPECT_EQ(upper.pixel(10, 0), qRgb(255, 0, 0));
    EXPECT_EQ(upper.pixel(10, 9), qRgb(255, 0, 0));
    // The cover cut keeps the middle 50…350, reduced by 3: a sixth of each outer band is left.
    const QImage cover = HLImageHelper::hlLimitCroppedImageOf(bands(400, 300), {100, 100});
    EXPECT_EQ(cover.pixel(10, 50), qRgb(255, 0, 0));
    EXPECT_EQ(cover.pixel(50, 50), qRgb(0, 255, 0));
    EXPECT_EQ(cover.pixel(90, 50), qRgb(0, 0, 255));
}

TEST(HLImageHelper, GradientsRunAlongTheirAngle)
{
    const QImage across = HLImageHelper::hlGradientImageOf({50, 20}, Qt::black, Qt::white, 0);
    EXPECT_LT(qRed(across.pixel(0, 10)), 10);
    EXPECT_GT(qRed(across.pixel(49, 10)), 245);
    const QImage up = HLImageHelper::hlGradientImageOf({20, 50}, Qt::black, Qt::white, 90);
    EXPECT_LT(qRed(up.pixel(10, 49)), 10); // the bottom row starts
    EXPECT_GT(qRed(up.pixel(10, 0)), 245);
    const QImage single = HLImageHelper::hlGradientImageOf({8, 8}, QColor(10, 20, 30), QColor(10, 20, 30), 90);
    EXPECT_EQ(single.pixel(4, 4), qRgb(10, 20, 30));
}

TEST(HLImageHelper, DragBadgeSitsNearTheLowerRightCorner)
{
    const QImage picture = solid(300, 300, Qt::white);
    QFont font;
    font.setPixelSize(8);
    EXPECT_EQ(HLImageHelper::hlDragImageOf(picture, 1, font, Qt::white, Qt::red).cacheKey(), picture.cacheKey());
    const QImage dragged = HLImageHelper::hlDragImageOf(picture, 12, font, Qt::white, Qt::red);
    ASSERT_EQ(dragged.size(), picture.size());
    // Badge of diameter 100 at x 195…295, 5…105 up from the bottom (y 195…295 down): red
    // fills most of that square (the disc is 79 % of it, less the count) and nothing else.
    int insideRed = 0, outsideRed = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) {
            const QRgb p = dragged.pixel(x, y);
            const bool red = qRed(p) > 200 && qGreen(p) < 100;
            (x >= 195 && x < 295 && y >= 195 && y < 295 ? insideRed : outsideRed) += red;
        }
    EXPECT_GT(insideRed, 5000);
    EXPECT_EQ(outsideRed, 0);
    EXPECT_EQ(dragged.pixel(10, 10), qRgb(255, 255, 255));
}

class HLImageValidate : public ::testing::Test
{
protected:
    QString write(const QString &name, const QImage &image, const char *format)
    {
        const QString path = folder.file(name);
        EXPECT_TRUE(image.save(path, format));
        return path;
    }
    QSizeF validate(const QString &path, QSizeF limit, QString *error = nullptr)
    {
        QDir().mkpath(folder.file("Source"));
        QDir().mkpath(folder.file("Preview"));
        return HLImageHelper::hlValidate(
            path, [&](const QString &name) { return folder.file("Source/" + name); },
            [&](const QString &name) { return folder.file("Preview/" + name); }, 0.5f, limit, error);
    }
    QSize sizeAt(const QString &path) { return QImageReader(path).size(); }

    TestFolder folder;
};

TEST_F(HLImageValidate, WritesTheSourceAndAPreviewOnlyWhenLargerBothWays)
{
    const struct
    {
        QSize photo;
        QSize preview; // empty: none written
    } cases[] = {{{400, 300}, {120, 90}}, {{120, 90}, {}}, {{100, 60}, {}}, {{400, 80}, {}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.photo.width() << "x" << c.photo.height());
        const QString name = QStringLiteral("p%1x%2.jpg").arg(c.photo.width()).arg(c.photo.height());
        const QString path = write(name, bands(c.photo.width(), c.photo.height()), "JPEG");
        EXPECT_EQ(validate(path, {120, 90}), QSizeF(c.photo));
        EXPECT_EQ(sizeAt(folder.file("Source/" + name)), c.photo);
        EXPECT_EQ(QFile::exists(folder.file("Preview/" + name)), !c.preview.isEmpty());
        if (!c.preview.isEmpty()) {
            EXPECT_EQ(sizeAt(folder.file("Preview/" + name)), c.preview);
        }
    }
}

TEST_F(HLImageValidate, KeepsTheSourceAtHighQuality)
{
    QImage detail(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            detail.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x ^ y) * 4 % 256));
    const QString path = write("detail.png", detail, "PNG");
    ASSERT_EQ(validate(path, {1200, 900}), QSizeF(64, 64));
    // Quality at least 0.9: every step of the kept file's quantisation tables is as fine as
    // quality 0.9's or finer.
    const QString kept = folder.file("Source/detail.png");
    EXPECT_EQ(QImageReader(kept).format(), "jpeg");
    const QString highQuality = folder.file("high.jpg");
    ASSERT_TRUE(detail.save(highQuality, "JPEG", 90));
    const std::vector<std::vector<int>> keptTables = quantisationTables(kept);
    const std::vector<std::vector<int>> limits = quantisationTables(highQuality);
    ASSERT_EQ(keptTables.size(), limits.size());
    ASSERT_FALSE(limits.empty());
    for (size_t t = 0; t < limits.size(); ++t) {
        ASSERT_EQ(keptTables[t].size(), 64u);
        for (size_t i = 0; i < 64; ++i)
            EXPECT_LE(keptTables[t][i], limits[t][i]) << "table " << t << " step " << i;
    }
}

// The bytes of a JPEG of image, with an EXIF block recording orientation when it is not 0.
QByteArray jpegBytes(const QImage &image, quint16 orientation)
{
    return MediaFixtures::jpegWithOrientation(image, orientation);
}

// An upright JPEG is kept byte for byte; one the camera stored turned is kept upright. Either
// way the preview is the upright photo reduced.
TEST_F(HLImageValidate, KeepsUprightJpegsAsTheyAreAndTurnsOthers)
{
    const struct
    {
        quint16 orientation;
        QSize upright;
    } cases[] = {{0, {400, 240}}, {1, {400, 240}}, {6, {240, 400}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.orientation);
        const QString name = QStringLiteral("o%1.jpg").arg(c.orientation);
        const QString path = folder.file(name);
        const QByteArray original = jpegBytes(bands(400, 240), c.orientation);
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(original);
        }
        ASSERT_EQ(validate(path, {120, 90}), QSizeF(c.upright));
        QFile kept(folder.file("Source/" + name));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll() == original, c.orientation <= 1);
        // Upright even for a reader that ignores orientation tags.
        for (const char *file : {"Source/", "Preview/"}) {
            QImageReader reader(folder.file(file + name));
            reader.setAutoTransform(false);
            const QImage back = reader.read();
            ASSERT_FALSE(back.isNull()) << file;
            EXPECT_EQ(back.size(), c.upright.scaled(file == std::string("Source/") ? c.upright : QSize(120, 90),
                                                     Qt::KeepAspectRatio))
                << file;
            // The red quarter is on the left, or on top once turned a quarter clockwise.
            const QPoint red = c.orientation == 6 ? QPoint(back.width() / 2, back.height() / 10)
                                                  : QPoint(back.width() / 10, back.height() / 2);
            EXPECT_GT(qRed(back.pixel(red)), 200) << file;
            EXPECT_LT(qGreen(back.pixel(red)), 60) << file;
        }
    }
}

TEST_F(HLImageValidate, KeepsTransparencyAsPng)
{
    QImage clear(400, 300, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    QPainter(&clear).fillRect(0, 0, 200, 300, QColor(255, 0, 0, 128));
    const QString path = write("logo.png", clear, "PNG");
    ASSERT_EQ(validate(path, {120, 90}), QSizeF(400, 300));
    for (const char *kept : {"Source/logo.png", "Preview/logo.png"}) {
        SCOPED_TRACE(kept);
        QImageReader reader(folder.file(kept));
        EXPECT_EQ(reader.format(), "png");
        const QImage back = reader.read();
        EXPECT_EQ(qAlpha(back.pixel(back.width() - 1, 0)), 0);
        EXPECT_NEAR(qAlpha(back.pixel(0, 0)), 128, 1);
    }
}

TEST_F(HLImageValidate, FailuresWriteNothingAndSayWhy)
{
    const QString broken = folder.file("broken.jpg");
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\xFF\xD8\xFF not really");
    }
    QString error;
    EXPECT_EQ(validate(broken, {120, 90}, &error), QSizeF(0, 0));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(folder.file("Source/broken.jpg")));

    // A destination that cannot be written is a failed import, not a crash.
    const QString photo = write("photo.jpg", bands(400, 300), "JPEG");
    error.clear();
    EXPECT_EQ(HLImageHelper::hlValidate(
                  photo, [](const QString &) { return QStringLiteral("/nonexistent/dir/photo.jpg"); },
                  [](const QString &) { return QStringLiteral("/nonexistent/dir/preview.jpg"); }, 0.5f, {120, 90},
                  &error),
              QSizeF(0, 0));
    EXPECT_FALSE(error.isEmpty());
    // The preview failing takes the source back with it.
    error.clear();
    const QString sourcePath = folder.file("kept.jpg");
    EXPECT_EQ(HLImageHelper::hlValidate(
                  photo, [&](const QString &) { return sourcePath; },
                  [](const QString &) { return QStringLiteral("/nonexistent/dir/preview.jpg"); }, 0.5f, {120, 90},
                  &error),
              QSizeF(0, 0));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(sourcePath));

    expectAssertion([&] { HLImageHelper::hlValidate(photo, nullptr, nullptr, 0.5f, {1, 1}); }, "bad obj");
}

} // namespace
