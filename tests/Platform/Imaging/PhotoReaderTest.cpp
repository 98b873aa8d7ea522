#include "Platform/Imaging/PhotoReader.h"

#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>

#include <libheif/heif.h>

#include <memory>

namespace {

// Left half red, right half blue.
QImage halves(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height, Qt::red);
    painter.fillRect(width / 2, 0, width - width / 2, height, Qt::blue);
    return image;
}

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

// A JPEG with an EXIF block that records the given orientation, as cameras write it.
QByteArray jpegWithOrientation(const QImage &image, quint16 orientation)
{
    const QByteArray jpeg = encoded(image, "JPEG");
    QByteArray tiff("II*\0\x08\0\0\0", 8);              // little-endian, first IFD at 8
    tiff.append("\x01\0", 2);                           // one entry
    tiff.append("\x12\x01\x03\0\x01\0\0\0", 8);         // tag 0x0112, SHORT, count 1
    tiff.append(char(orientation & 0xff)).append(char(orientation >> 8)).append("\0\0", 2);
    tiff.append("\0\0\0\0", 4);                         // no next IFD
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char(length >> 8)).append(char(length & 0xff)).append(payload);
    return jpeg.left(2) + app1 + jpeg.mid(2); // right after the start-of-image marker
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

struct HeifFree
{
    void operator()(heif_context *p) const { heif_context_free(p); }
    void operator()(heif_encoder *p) const { heif_encoder_release(p); }
    void operator()(heif_image *p) const { heif_image_release(p); }
    void operator()(heif_encoding_options *p) const { heif_encoding_options_free(p); }
};

TEST(PhotoReader, ReadsHeicWithItsOrientation)
{
    std::unique_ptr<heif_context, HeifFree> context(heif_context_alloc());
    heif_encoder *rawEncoder = nullptr;
    if (heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder).code != heif_error_Ok)
        GTEST_SKIP() << "no HEVC encoder in this libheif";
    std::unique_ptr<heif_encoder, HeifFree> encoder(rawEncoder);
    heif_encoder_set_lossy_quality(encoder.get(), 90);

    const QImage source = halves(64, 32).convertToFormat(QImage::Format_RGB888);
    heif_image *rawImage = nullptr;
    ASSERT_EQ(heif_image_create(64, 32, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &rawImage).code,
              heif_error_Ok);
    std::unique_ptr<heif_image, HeifFree> image(rawImage);
    ASSERT_EQ(heif_image_add_plane(image.get(), heif_channel_interleaved, 64, 32, 8).code, heif_error_Ok);
    int stride = 0;
    uint8_t *plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    for (int y = 0; y < 32; ++y)
        memcpy(plane + y * stride, source.constScanLine(y), 64 * 3);
    std::unique_ptr<heif_encoding_options, HeifFree> options(heif_encoding_options_alloc());
    options->image_orientation = heif_orientation_rotate_90_cw;
    ASSERT_EQ(heif_context_encode_image(context.get(), image.get(), encoder.get(), options.get(), nullptr).code,
              heif_error_Ok);
    TestFolder folder;
    const QString path = folder.file("phone.heic");
    ASSERT_EQ(heif_context_write_to_file(context.get(), QFile::encodeName(path).constData()).code, heif_error_Ok);

    QString error;
    const QImage upright = PhotoReader::load(path, {}, &error);
    ASSERT_FALSE(upright.isNull()) << error.toStdString();
    EXPECT_EQ(upright.size(), QSize(32, 64));
    EXPECT_TRUE(reddish(upright.pixel(16, 8)));
    EXPECT_TRUE(bluish(upright.pixel(16, 56)));
    EXPECT_EQ(PhotoReader::load(path, QSize(16, 16)).size(), QSize(8, 16));
}

} // namespace
