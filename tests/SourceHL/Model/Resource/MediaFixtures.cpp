#include "MediaFixtures.h"

#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>

#include <libheif/heif.h>

#include <cstring>
#include <memory>

namespace MediaFixtures {

QImage halves(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height, Qt::red);
    painter.fillRect(width / 2, 0, width - width / 2, height, Qt::blue);
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
};

} // namespace

bool writeHeic(const QString &path, const QImage &picture)
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
    if (heif_context_encode_image(context.get(), image.get(), encoder.get(), nullptr, nullptr).code != heif_error_Ok)
        return false;
    return heif_context_write_to_file(context.get(), QFile::encodeName(path).constData()).code == heif_error_Ok;
}

bool ffmpeg(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("ffmpeg"),
                  QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                              QStringLiteral("-y")}
                      + arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool writeClip(const QString &path, bool sound, double seconds)
{
    const QString length = QString::number(seconds);
    QStringList arguments{"-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=" + length};
    if (sound)
        arguments << "-f" << "lavfi" << "-i" << "sine=frequency=440:duration=" + length;
    arguments << "-pix_fmt" << "yuv420p" << "-shortest" << path;
    return ffmpeg(arguments);
}

bool writeTone(const QString &path, double seconds)
{
    return ffmpeg({"-f", "lavfi", "-i", "sine=frequency=440:duration=" + QString::number(seconds), path});
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
