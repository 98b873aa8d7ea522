#include "SourceHL/Model/Resource/HLResourceItem.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Common/HLImageHelper.h"
#include "SourceHL/Model/Resource/HLCutShort.h"
#include "SourceHL/Model/Resource/HLFileClone.h"
#include "SourceHL/Model/Resource/HLVideoDecoder.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QSizeF thumbnailBox(100, 100);

// Stands for the first frame of a clip that decodes none: a dark picture of the clip's shape.
QImage placeholderThumbnail(QSizeF resolution)
{
    QSizeF size = resolution.isEmpty() ? QSizeF(4, 3) : resolution;
    size.scale(thumbnailBox, Qt::KeepAspectRatioByExpanding);
    size = size.boundedTo(thumbnailBox * HLImageHelper::kThumbnailStretch);
    QImage image(std::max(1, int(size.width())), std::max(1, int(size.height())), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(48, 48, 48));
    return image;
}

// The first frame limited to the box, or the placeholder when the clip decodes none.
QImage thumbnailOfClip(HLVideoDecoder &decoder)
{
    const QImage frame = decoder.videoFrameAt(0);
    return frame.isNull() ? placeholderThumbnail(decoder.oMovie()->videoSize())
                          : HLImageHelper::hlThumbnailOf(frame, thumbnailBox);
}

QVariantMap preprocessVideo(const QString &path, QString *reason)
{
    const QFileInfo placed(path);
    const QString target = placed.dir().filePath(QStringLiteral("Video"));
    if (!HLFileClone::linkOrClone(path, target, reason))
        return {};
    const auto decoder = HLVideoDecoder::videoDecoderOf(target);
    if (!decoder || !decoder->oMovie()->hasVideo()) {
        if (reason)
            *reason = QStringLiteral("\"%1\" holds no video").arg(path);
        return {};
    }
    if (reason)
        *reason = hl_cutShortWarning(path, *decoder->oMovie());
    const QSizeF resolution = decoder->oMovie()->videoSize();
    const QImage thumbnail = thumbnailOfClip(*decoder);
    return {
        {QStringLiteral("Name"), placed.completeBaseName()},
        {QStringLiteral("Format"), placed.suffix()},
        {QStringLiteral("Duration"), float(zk_ff_time_to_double(decoder->oMovie()->duration()))},
        {QStringLiteral("Thumbnail"), thumbnail},
        {QStringLiteral("Resolution"), resolution},
    };
}

} // namespace

void HLResourceItem::configureForVideo()
{
    const PathMap video = [](const QString &folder) { return QDir(folder).filePath(QStringLiteral("Video")); };
    setUpPathMapPreview(video, video, HLResourceTypeVideo);
    setUpPreprocess(preprocessVideo, HLResourceTypeVideo);
    setUpInitiation([](const QString &path) -> HLResourceObject { return HLVideoDecoder::videoDecoderOf(path); },
                    HLResourceTypeVideo);
}

QImage HLResourceItem::p_videoThumbnailIn(const QString &folder)
{
    const auto decoder = HLVideoDecoder::videoDecoderOf(pathMapSourceFor(HLResourceTypeVideo)(folder));
    return decoder && decoder->oMovie()->hasVideo() ? thumbnailOfClip(*decoder) : QImage();
}

bool HLResourceItem::isKindOfVideo(const QString &path)
{
    const auto segment = ZKSegmentMovie::movieWithPath(path);
    const auto movie = segment ? std::dynamic_pointer_cast<ZKFFMovie>(segment->ffmovie()) : nullptr;
    return movie && segment->duration() > zk_ff_time_from_double(0.1) && movie->hasVideo();
}

QString HLResourceItem::videoName() const
{
    return isVideo() ? m_dicInfo.value(QStringLiteral("Name")).toString() : QString();
}

QString HLResourceItem::videoFormat() const
{
    return isVideo() ? m_dicInfo.value(QStringLiteral("Format")).toString() : QString();
}

float HLResourceItem::videoDuration() const
{
    return isVideo() ? m_dicInfo.value(QStringLiteral("Duration")).toFloat() : 0.0f;
}

QImage HLResourceItem::videoThumbnail() const
{
    return isVideo() ? m_dicInfo.value(QStringLiteral("Thumbnail")).value<QImage>() : QImage();
}

QSizeF HLResourceItem::videoResolution() const
{
    return isVideo() ? m_dicInfo.value(QStringLiteral("Resolution")).toSizeF() : QSizeF();
}

// The source decoder when loaded, else the preview one.
std::shared_ptr<HLVideoDecoder> HLResourceItem::p_decoder() const
{
    if (!isVideo())
        return nullptr;
    for (const HLResourceObject &object : {oResourceSource(), oResourcePreview()}) {
        if (const auto *decoder = std::get_if<std::shared_ptr<HLVideoDecoder>>(&object); decoder && *decoder)
            return *decoder;
    }
    return nullptr;
}

std::shared_ptr<ZKFFMovie> HLResourceItem::video() const
{
    const auto decoder = p_decoder();
    return decoder ? decoder->oMovie() : nullptr;
}

void HLResourceItem::videoSeek() const
{
    if (const auto decoder = p_decoder())
        decoder->videoSeek();
}

QImage HLResourceItem::videoFrameAt(qint64 time) const
{
    const auto decoder = p_decoder();
    return decoder ? decoder->videoFrameAt(time) : QImage();
}
