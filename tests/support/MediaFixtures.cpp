#include "tests/support/MediaFixtures.h"

#include "tests/support/ChildProcess.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>

#include <libheif/heif.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace MediaFixtures {

bool runFFmpeg(const QStringList &args)
{
    return ChildProcess::run("ffmpeg", QStringList{"-y", "-nostdin", "-loglevel", "error"} + args).exitCode == 0;
}

namespace {

constexpr int kNumberBits = 10;

bool makeGeneratedClip(const QString &path, const ClipRecipe &recipe, const QString &luma,
                       const QString &after = QString())
{
    const QString video = QString("color=c=black:s=%1x%2:r=%3:d=%4,format=yuv420p,"
                                  "geq=lum='%5':cb=128:cr=128%6")
                              .arg(recipe.size.width())
                              .arg(recipe.size.height())
                              .arg(recipe.fps)
                              .arg(recipe.seconds)
                              .arg(luma, after);
    QStringList args{"-f", "lavfi", "-i", video};
    if (!recipe.audioCodec.isEmpty()) {
        args << "-f" << "lavfi" << "-i"
             << QString("aevalsrc=0.5*sin(2*PI*%1*t):s=44100:c=stereo:d=%2").arg(recipe.toneHz).arg(recipe.seconds);
    }
    args << recipe.videoCodec << recipe.audioCodec << recipe.extra << "-t" << QString::number(recipe.seconds) << path;
    return runFFmpeg(args);
}

} // namespace

bool makeIndexedClip(const QString &path, const ClipRecipe &recipe)
{
    return makeGeneratedClip(path, recipe, "16+4*N");
}

bool makeNumberedClip(const QString &path, const ClipRecipe &recipe)
{
    // Grain, as cameras record it, makes pictures of a realistic size: every one starts a
    // packet of its own in a program stream, as on discs and camcorders.
    return makeGeneratedClip(path, recipe,
                             QString("if(mod(floor(N/pow(2,floor(X*%1/W))),2),235,16)").arg(kNumberBits),
                             ",noise=alls=24:allf=t");
}

int frameNumberOf(const QImage &image)
{
    if (image.isNull())
        return -1;
    int number = 0;
    for (int bit = 0; bit < kNumberBits; ++bit) {
        const int x = int((bit + 0.5) * image.width() / kNumberBits);
        if (qGray(image.pixel(x, image.height() / 2)) > 128)
            number |= 1 << bit;
    }
    return number;
}

int frameIndexOf(const QImage &image)
{
    if (image.isNull())
        return -1;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int cx = rgb.width() / 2;
    const int cy = rgb.height() / 2;
    double sum = 0;
    int count = 0;
    for (int y = std::max(0, cy - 4); y < std::min(rgb.height(), cy + 4); ++y) {
        for (int x = std::max(0, cx - 4); x < std::min(rgb.width(), cx + 4); ++x) {
            sum += qGray(rgb.pixel(x, y));
            ++count;
        }
    }
    const double grey = sum / count;
    // Studio-range luma 16 + 4i became full-range grey (Y − 16) × 255 / 219.
    return int(std::lround(grey * 219.0 / 255.0 / 4.0));
}

bool setMp4Rotation(const QString &path, int degrees)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    const qsizetype tag = bytes.indexOf("tkhd");
    if (tag < 4 || tag + 80 > bytes.size())
        return false;
    const qsizetype box = tag - 4;
    const int version = quint8(bytes[tag + 4]);
    const qsizetype matrix = box + (version == 1 ? 60 : 48);
    // The display matrix {a b u; c d v; x y w} in 16.16 (and 2.30 for the last column).
    const qint32 one = 0x10000;
    qint32 a = one, b = 0, c = 0, d = one;
    if (degrees == 90) {
        a = 0; b = one; c = -one; d = 0;
    } else if (degrees == 180) {
        a = -one; d = -one;
    } else if (degrees == 270) {
        a = 0; b = -one; c = one; d = 0;
    }
    const qint32 values[9] = {a, b, 0, c, d, 0, 0, 0, 0x40000000};
    for (int i = 0; i < 9; ++i)
        qToBigEndian(values[i], bytes.data() + matrix + 4 * i);
    file.seek(0);
    return file.write(bytes) == bytes.size();
}

bool makeTone(const QString &path, double seconds, int sampleRate, int channels, const QStringList &codec,
              double frequency, double amplitude)
{
    const QString layout = channels == 1 ? "mono" : channels == 6 ? "5.1" : "stereo";
    const QString source = QString("aevalsrc=%1*sin(2*PI*%2*t):s=%3:c=%4:d=%5")
                               .arg(amplitude)
                               .arg(frequency)
                               .arg(sampleRate)
                               .arg(layout)
                               .arg(seconds);
    QStringList args{"-f", "lavfi", "-i", source};
    args << codec << path;
    return runFFmpeg(args);
}

bool makeSweep(const QString &path, double seconds, const QStringList &audioCodec, bool withVideo,
               const QStringList &videoCodec)
{
    QStringList args{"-f", "lavfi", "-i",
                     QString("aevalsrc=0.5*sin(2*PI*(200*t+100*t*t)):s=44100:c=stereo:d=%1").arg(seconds)};
    if (withVideo) {
        args << "-f" << "lavfi" << "-i" << QString("testsrc2=size=64x48:rate=25:d=%1").arg(seconds) << videoCodec;
    }
    args << audioCodec << "-t" << QString::number(seconds) << path;
    return runFFmpeg(args);
}

QImage halves(int width, int height, const QColor &left, const QColor &right)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height, left);
    painter.fillRect(width / 2, 0, width - width / 2, height, right);
    return image;
}

QByteArray jpegWithOrientation(const QImage &image, quint16 orientation, int quality)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG", quality))
        return {};
    if (orientation == 0)
        return jpeg;
    QByteArray tiff("II*\0\x08\0\0\0", 8);      // little-endian, first IFD at 8
    tiff.append("\x01\0", 2);                   // one entry
    tiff.append("\x12\x01\x03\0\x01\0\0\0", 8); // tag 0x0112, SHORT, count 1
    tiff.append(char(orientation & 0xff)).append(char(orientation >> 8)).append("\0\0", 2);
    tiff.append("\0\0\0\0", 4);                 // no next IFD
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char(length >> 8)).append(char(length & 0xff)).append(payload);
    return jpeg.left(2) + app1 + jpeg.mid(2); // right after the start-of-image marker
}

QImage numberedPhoto(int k)
{
    QImage image(1600, 1200, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 1600, 1200);
    gradient.setColorAt(0, QColor::fromHsv((k * 37) % 360, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv((k * 37 + 120) % 360, 160, 90));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(Qt::white);
    painter.setFont(QFont("DejaVu Sans", 200));
    painter.drawText(image.rect(), Qt::AlignCenter, QString::number(k));
    return image;
}

QImage texturedPhoto(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = int(seed >> 28) * 4;
            image.setPixel(x, y, qRgb(40 + x * 180 / width + grain, 200 - y * 150 / height + grain, 30 + grain));
        }
    }
    return image;
}

bool writeImage(const QString &path, const QImage &image, const char *format)
{
    QImageWriter writer(path, format);
    return writer.write(image);
}

namespace {

struct HeifFree
{
    void operator()(heif_context *p) const { heif_context_free(p); }
    void operator()(heif_encoder *p) const { heif_encoder_release(p); }
    void operator()(heif_image *p) const { heif_image_release(p); }
    void operator()(heif_encoding_options *p) const { heif_encoding_options_free(p); }
};

} // namespace

bool writeHeic(const QString &path, const QImage &picture, int orientation)
{
    std::unique_ptr<heif_context, HeifFree> context(heif_context_alloc());
    heif_encoder *rawEncoder = nullptr;
    if (heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder).code != heif_error_Ok)
        return false;
    std::unique_ptr<heif_encoder, HeifFree> encoder(rawEncoder);
    heif_encoder_set_lossy_quality(encoder.get(), 90);
    const QImage source = picture.convertToFormat(QImage::Format_RGB888);
    heif_image *rawImage = nullptr;
    if (heif_image_create(source.width(), source.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB, &rawImage)
            .code != heif_error_Ok)
        return false;
    std::unique_ptr<heif_image, HeifFree> image(rawImage);
    if (heif_image_add_plane(image.get(), heif_channel_interleaved, source.width(), source.height(), 8).code
        != heif_error_Ok)
        return false;
    int stride = 0;
    uint8_t *plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    for (int y = 0; y < source.height(); ++y)
        std::memcpy(plane + y * stride, source.constScanLine(y), size_t(source.width()) * 3);
    std::unique_ptr<heif_encoding_options, HeifFree> options(heif_encoding_options_alloc());
    options->image_orientation = heif_orientation(orientation);
    if (heif_context_encode_image(context.get(), image.get(), encoder.get(), options.get(), nullptr).code != heif_error_Ok)
        return false;
    return heif_context_write_to_file(context.get(), QFile::encodeName(path).constData()).code == heif_error_Ok;
}

bool writeClip(const QString &path, bool sound, double seconds)
{
    const QString length = QString::number(seconds);
    QStringList arguments{"-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=" + length};
    if (sound)
        arguments << "-f" << "lavfi" << "-i" << "sine=frequency=440:duration=" + length;
    arguments << "-pix_fmt" << "yuv420p" << "-shortest" << path;
    return runFFmpeg(arguments);
}

bool writeTone(const QString &path, double seconds)
{
    return runFFmpeg({"-f", "lavfi", "-i", "sine=frequency=440:duration=" + QString::number(seconds), path});
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace MediaFixtures
