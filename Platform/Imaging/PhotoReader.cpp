#include "Platform/Imaging/PhotoReader.h"

#include "Platform/Imaging/JpegIntegrity.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <libheif/heif.h>

#include <cmath>
#include <memory>
#include <mutex>

namespace {

constexpr QImage::Format kFormat = QImage::Format_ARGB32_Premultiplied;

// A photo cut short is taken when at least this share of it decoded.
constexpr double kIntactShare = 0.75;

// Enough for a 100-megapixel photo.
constexpr int kAllocationLimitMB = 1024;

// size reduced, aspect kept, to fit inside limit; unchanged when it fits already.
QSize fittedInside(const QSize &size, const QSize &limit)
{
    if (limit.isEmpty() || (size.width() <= limit.width() && size.height() <= limit.height()))
        return size;
    QSize fitted = size.scaled(limit, Qt::KeepAspectRatio);
    return fitted.expandedTo(QSize(1, 1));
}

bool looksLikeHeif(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(64);
    if (head.size() < 12)
        return false;
    const heif_filetype_result kind =
        heif_check_filetype(reinterpret_cast<const uint8_t *>(head.constData()), int(head.size()));
    return kind == heif_filetype_yes_supported || kind == heif_filetype_yes_unsupported;
}

struct HeifFree
{
    void operator()(heif_context *p) const { heif_context_free(p); }
    void operator()(heif_image_handle *p) const { heif_image_handle_release(p); }
    void operator()(heif_image *p) const { heif_image_release(p); }
};

} // namespace

PhotoReader::PhotoReader(const QString &path)
    : m_path(path)
{
}

void PhotoReader::setLimit(const QSize &limit)
{
    m_limit = limit;
}

void PhotoReader::setRegion(const QRect &region)
{
    m_region = region;
}

void PhotoReader::allowLargePhotos()
{
    if (QImageReader::allocationLimit() < kAllocationLimitMB)
        QImageReader::setAllocationLimit(kAllocationLimitMB);
}

QString PhotoReader::errorString() const
{
    return m_error;
}

QString PhotoReader::warning() const
{
    return m_warning;
}

QImage PhotoReader::load(const QString &path, const QSize &limit, QString *error, const QRect &region,
                         QString *warning)
{
    PhotoReader reader(path);
    reader.setLimit(limit);
    reader.setRegion(region);
    QImage image = reader.read();
    if (error)
        *error = reader.errorString();
    if (warning)
        *warning = reader.warning();
    return image;
}

QRect PhotoReader::intactRectOf(const QImage &picture)
{
    const QRect intact = JpegIntegrity::intactRect(picture);
    const double share = double(intact.width()) * intact.height() / (double(picture.width()) * picture.height());
    const int missing = int(std::lround((1.0 - share) * 100));
    if (share < kIntactShare) {
        failed(QStringLiteral("Cannot read %1: the file is cut short and %2 % of the picture is missing")
                   .arg(m_path)
                   .arg(missing));
        return {};
    }
    m_warning = intact == picture.rect()
                    ? QStringLiteral("%1 is cut short: its picture may show less detail").arg(m_path)
                    : QStringLiteral("%1 is cut short: %2 % of the picture is missing and was left out")
                          .arg(m_path)
                          .arg(std::max(missing, 1));
    return intact;
}

QImage PhotoReader::failed(const QString &reason)
{
    m_error = reason;
    return {};
}

QImage PhotoReader::read()
{
    m_error.clear();
    m_warning.clear();
    const QFileInfo info(m_path);
    if (!info.exists())
        return failed(QStringLiteral("No such file: %1").arg(m_path));
    if (!info.isFile())
        return failed(QStringLiteral("Not a file: %1").arg(m_path));
    if (info.size() == 0)
        return failed(QStringLiteral("Empty file: %1").arg(m_path));
    QImage image = looksLikeHeif(m_path) ? readHeif() : readWithQt();
    if (image.isNull())
        return image;
    image = std::move(image).convertToFormat(kFormat);
    if (image.isNull())
        return failed(QStringLiteral("Out of memory reading %1").arg(m_path));
    return image;
}

QImage PhotoReader::readWithQt()
{
    QImageReader reader(m_path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    static std::once_flag raised;
    std::call_once(raised, allowLargePhotos);
    if (!reader.canRead())
        return failed(QStringLiteral("Not a picture: %1 (%2)").arg(m_path, reader.errorString()));
    const QSize stored = reader.size();
    const QImageIOHandler::Transformations turn = reader.transformation();
    // A JPEG cut short is read whole, so that the grey the decoder fills its missing part
    // with is found and left out before any cut.
    const bool cutShort = reader.format() == "jpeg" && JpegIntegrity::isCutShort(m_path);
    // A region is in upright terms; the decoder clips before it turns, so turned photos are
    // read whole and cut afterwards.
    if (!stored.isValid() || cutShort || (!m_region.isEmpty() && turn != QImageIOHandler::TransformationNone)) {
        QImage image = reader.read();
        if (image.isNull())
            return failed(QStringLiteral("Cannot read %1: %2").arg(m_path, reader.errorString()));
        QRect usable = image.rect();
        if (cutShort) {
            image = std::move(image).convertToFormat(kFormat);
            usable = intactRectOf(image);
            if (usable.isEmpty())
                return {};
        }
        return cutAndFitted(std::move(image), usable);
    }
    QSize part = stored;
    if (!m_region.isEmpty()) {
        const QRect clip = m_region.intersected(QRect(QPoint(0, 0), stored));
        if (clip.isEmpty())
            return failed(QStringLiteral("Nothing of %1 lies in the part asked for").arg(m_path));
        reader.setClipRect(clip);
        part = clip.size();
    }
    if (!m_limit.isEmpty()) {
        // The limit applies to the upright picture; the decoder scales before it turns.
        const QSize limit = turn.testFlag(QImageIOHandler::TransformationRotate90) ? m_limit.transposed() : m_limit;
        const QSize fitted = fittedInside(part, limit);
        if (fitted != part)
            reader.setScaledSize(fitted);
    }
    QImage image = reader.read();
    if (image.isNull())
        return failed(QStringLiteral("Cannot read %1: %2").arg(m_path, reader.errorString()));
    return image;
}

QImage PhotoReader::cutAndFitted(QImage image, const QRect &usable)
{
    const QRect clip = m_region.isEmpty() ? usable : m_region.intersected(usable);
    if (clip.isEmpty())
        return failed(QStringLiteral("Nothing of %1 lies in the part asked for").arg(m_path));
    if (clip != image.rect())
        image = image.copy(clip);
    const QSize fitted = fittedInside(image.size(), m_limit);
    if (fitted != image.size())
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage PhotoReader::readHeif()
{
    std::unique_ptr<heif_context, HeifFree> context(heif_context_alloc());
    if (!context)
        return failed(QStringLiteral("Out of memory reading %1").arg(m_path));
    heif_error error = heif_context_read_from_file(context.get(), QFile::encodeName(m_path).constData(), nullptr);
    if (error.code != heif_error_Ok)
        return failed(QStringLiteral("Cannot read %1: %2").arg(m_path, QString::fromUtf8(error.message)));
    heif_image_handle *rawHandle = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &rawHandle);
    std::unique_ptr<heif_image_handle, HeifFree> handle(rawHandle);
    if (error.code != heif_error_Ok)
        return failed(QStringLiteral("Cannot read %1: %2").arg(m_path, QString::fromUtf8(error.message)));
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get());
    // libheif applies the stored rotation and mirroring itself while decoding.
    heif_image *rawImage = nullptr;
    error = heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr);
    std::unique_ptr<heif_image, HeifFree> decoded(rawImage);
    if (error.code != heif_error_Ok)
        return failed(QStringLiteral("Cannot decode %1: %2").arg(m_path, QString::fromUtf8(error.message)));
    int stride = 0;
    const uint8_t *data = heif_image_get_plane_readonly(decoded.get(), heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(decoded.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(decoded.get(), heif_channel_interleaved);
    if (!data || width <= 0 || height <= 0)
        return failed(QStringLiteral("Cannot decode %1: no pixels").arg(m_path));
    const QImage view(data, width, height, stride, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    QImage image = view.convertToFormat(kFormat); // a copy: the view dies with the decoded image
    if (image.isNull())
        return failed(QStringLiteral("Out of memory reading %1").arg(m_path));
    const QRect whole = image.rect();
    return cutAndFitted(std::move(image), whole);
}
