#include "Platform/Imaging/PhotoReader.h"

#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageWriter>

#include <libheif/heif.h>


namespace {

using MediaFixtures::halves;
using MediaFixtures::jpegWithOrientation;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Qt writes no GIF; this one uses 8-bit codes and clears the table before it would widen
// them, so it needs no compressor. Red and blue only.
QByteArray gifOf(const QImage &image)
{
    QByteArray gif("GIF89a");
    auto le16 = [&](int v) { gif.append(char(v & 0xff)).append(char(v >> 8)); };
    le16(image.width());
    le16(image.height());
    gif.append(char(0xF6)).append(char(0)).append(char(0)); // global table of 128 colours
    QByteArray table(128 * 3, '\0');
    table[0] = char(255);                                    // 0 red
    table[5] = char(255);                                    // 1 blue
    gif.append(table);
    gif.append(char(0x2C));
    le16(0), le16(0), le16(image.width()), le16(image.height());
    gif.append(char(0)).append(char(7)); // no local table; minimum code size 7
    QByteArray codes;
    for (int i = 0; i < image.width() * image.height(); ++i) {
        if (i % 100 == 0)
            codes.append(char(128)); // clear
        codes.append(char(qBlue(image.pixel(i % image.width(), i / image.width())) > 128 ? 1 : 0));
    }
    codes.append(char(129)); // end of information
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        gif.append(char(block.size())).append(block);
    }
    gif.append(char(0)).append(char(0x3B));
    return gif;
}

QByteArray encoded(const QImage &image, const char *format)
{
    if (QByteArray(format) == "GIF")
        return gifOf(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes;
}

bool reddish(QRgb p) { return qRed(p) > 200 && qBlue(p) < 60; }
bool bluish(QRgb p) { return qBlue(p) > 200 && qRed(p) < 60; }

TEST(PhotoReader, CameraOrientationArrivesUpright)
{
    TestFolder folder;
    const QString path = folder.file("portrait.jpg");
    writeFile(path, jpegWithOrientation(halves(32, 16), 6)); // stored on its side
    QString error;
    const QImage upright = PhotoReader::load(path, {}, &error);
    ASSERT_FALSE(upright.isNull()) << error.toStdString();
    EXPECT_EQ(upright.size(), QSize(16, 32));
    EXPECT_EQ(upright.format(), QImage::Format_ARGB32_Premultiplied);
    // Turned a quarter clockwise: the left (red) half is now on top.
    EXPECT_TRUE(reddish(upright.pixel(8, 4)));
    EXPECT_TRUE(bluish(upright.pixel(8, 28)));
}

TEST(PhotoReader, LimitReducesTheUprightPicture)
{
    TestFolder folder;
    const QString path = folder.file("big.jpg");
    writeFile(path, jpegWithOrientation(halves(256, 128), 6));
    const QImage reduced = PhotoReader::load(path, QSize(40, 80));
    EXPECT_EQ(reduced.size(), QSize(40, 80));
    EXPECT_TRUE(reddish(reduced.pixel(20, 10)));
    // A photo inside the limit keeps its size; the limit never enlarges.
    EXPECT_EQ(PhotoReader::load(path, QSize(1000, 1000)).size(), QSize(128, 256));
}

// A part of the upright photo, read at the size it is drawn; camera orientation included.
TEST(PhotoReader, RegionIsCutBeforeTheLimit)
{
    TestFolder folder;
    const QString upright = folder.file("upright.jpg");
    writeFile(upright, encoded(halves(256, 128), "JPEG"));
    const QString turned = folder.file("turned.jpg");
    writeFile(turned, jpegWithOrientation(halves(256, 128), 6)); // upright 128 × 256, red on top
    const QString png = folder.file("halves.png");
    writeFile(png, encoded(halves(256, 128), "PNG"));
    const struct
    {
        const QString &path;
        QRect region;
        QSize limit;
        QSize size;
        bool red;
    } cases[] = {
        {upright, {128, 0, 128, 128}, {}, {128, 128}, false},
        {upright, {0, 0, 128, 128}, {32, 32}, {32, 32}, true},
        {upright, {64, 32, 128, 64}, {1000, 1000}, {128, 64}, true}, // never enlarged; left half red
        {turned, {0, 0, 128, 128}, {}, {128, 128}, true},
        {turned, {0, 128, 128, 128}, {16, 16}, {16, 16}, false},
        {png, {200, 0, 100, 128}, {}, {56, 128}, false}, // clipped to the photo
    };
    for (const auto &c : cases) {
        QString error;
        const QImage part = PhotoReader::load(c.path, c.limit, &error, c.region);
        ASSERT_FALSE(part.isNull()) << error.toStdString();
        EXPECT_EQ(part.size(), c.size) << c.path.toStdString();
        EXPECT_EQ(part.format(), QImage::Format_ARGB32_Premultiplied);
        const QRgb corner = part.pixel(2, 2);
        EXPECT_TRUE(c.red ? reddish(corner) : bluish(corner)) << c.path.toStdString() << " " << c.region.x();
    }
    QString error;
    EXPECT_TRUE(PhotoReader::load(upright, {}, &error, QRect(300, 0, 10, 10)).isNull());
    EXPECT_FALSE(error.isEmpty());
}

TEST(PhotoReader, ReadsEveryFormatByItsContent)
{
    TestFolder folder;
    const QImage source = halves(16, 12);
    for (const char *format : {"JPEG", "PNG", "TIFF", "GIF", "BMP", "WEBP"}) {
        SCOPED_TRACE(format);
        // Named as something else on purpose: the content decides.
        const QString path = folder.file(QStringLiteral("photo-%1.dat").arg(format));
        writeFile(path, encoded(source, format));
        QString error;
        const QImage image = PhotoReader::load(path, {}, &error);
        ASSERT_FALSE(image.isNull()) << error.toStdString();
        EXPECT_EQ(image.size(), source.size());
        EXPECT_TRUE(reddish(image.pixel(2, 6)));
        EXPECT_TRUE(bluish(image.pixel(13, 6)));
    }
}

TEST(PhotoReader, UnusableFilesGiveNothingAndSayWhy)
{
    TestFolder folder;
    const QByteArray png = encoded(halves(16, 12), "PNG");
    const struct
    {
        const char *name;
        QByteArray bytes;
    } files[] = {
        {"empty.jpg", QByteArray()},
        {"text.png", QByteArray("this is not a picture at all\n")},
        {"noise.jpg", QByteArray(300, '\x5a')},
        {"truncated.png", png.left(40)},
        {"header only.jpg", encoded(halves(16, 12), "JPEG").left(20)},
    };
    for (const auto &f : files) {
        SCOPED_TRACE(f.name);
        writeFile(folder.file(f.name), f.bytes);
        QString error;
        EXPECT_TRUE(PhotoReader::load(folder.file(f.name), {}, &error).isNull());
        EXPECT_FALSE(error.isEmpty());
    }
    QString error;
    EXPECT_TRUE(PhotoReader::load(folder.file("missing.jpg"), {}, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(PhotoReader::load(folder.path(), {}, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}

bool greyFill(QRgb p)
{
    return std::abs(qRed(p) - 128) <= 2 && std::abs(qGreen(p) - 128) <= 2 && std::abs(qBlue(p) - 128) <= 2;
}

// A JPEG cut short, as a failed copy leaves it: most of it is kept without the grey the
// decoder fills the rest with, and a warning says so; too little of it is refused.
TEST(PhotoReader, AJpegCutShortKeepsWhatDecodedOrIsRefused)
{
    TestFolder folder;
    const QImage picture = MediaFixtures::texturedPhoto(320, 240);
    const struct
    {
        const char *name;
        quint16 orientation; // 6: stored on its side, shown turned a quarter clockwise
        double kept;         // share of the file's bytes left
        bool taken;
    } cases[] = {
        {"whole.jpg", 1, 1.0, true},
        {"tail cut.jpg", 1, 0.9, true},
        {"turned tail cut.jpg", 6, 0.9, true},
        {"half.jpg", 1, 0.5, false},
        {"turned half.jpg", 6, 0.5, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray jpeg = jpegWithOrientation(picture, c.orientation);
        writeFile(folder.file(c.name), jpeg.left(qsizetype(jpeg.size() * c.kept)));
        QString error, warning;
        const QImage image = PhotoReader::load(folder.file(c.name), {}, &error, {}, &warning);
        if (!c.taken) {
            EXPECT_TRUE(image.isNull());
            EXPECT_TRUE(error.contains("cut short")) << error.toStdString();
            EXPECT_TRUE(error.contains(folder.file(c.name))) << error.toStdString();
            continue;
        }
        ASSERT_FALSE(image.isNull()) << error.toStdString();
        const QSize upright = c.orientation == 6 ? QSize(240, 320) : QSize(320, 240);
        if (c.kept == 1.0) {
            EXPECT_EQ(image.size(), upright);
            EXPECT_TRUE(warning.isEmpty());
            continue;
        }
        EXPECT_TRUE(warning.contains("cut short")) << warning.toStdString();
        EXPECT_TRUE(warning.contains(folder.file(c.name))) << warning.toStdString();
        EXPECT_LT(image.width() * image.height(), upright.width() * upright.height());
        EXPECT_GE(image.width() * image.height(), upright.width() * upright.height() * 3 / 4);
        int grey = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                grey += greyFill(image.pixel(x, y)) ? 1 : 0;
        }
        EXPECT_EQ(grey, 0) << "the missing part's grey is left out";
    }
}

TEST(PhotoReader, ReadsHeicWithItsOrientation)
{
    TestFolder folder;
    const QString path = folder.file("phone.heic");
    if (!MediaFixtures::writeHeic(path, halves(64, 32), heif_orientation_rotate_90_cw))
        GTEST_SKIP() << "no HEVC encoder in this libheif";

    QString error;
    const QImage upright = PhotoReader::load(path, {}, &error);
    ASSERT_FALSE(upright.isNull()) << error.toStdString();
    EXPECT_EQ(upright.size(), QSize(32, 64));
    EXPECT_TRUE(reddish(upright.pixel(16, 8)));
    EXPECT_TRUE(bluish(upright.pixel(16, 56)));
    EXPECT_EQ(PhotoReader::load(path, QSize(16, 16)).size(), QSize(8, 16));
}

} // namespace
