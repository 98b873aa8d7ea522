#include "SourceHL/Model/Resource/HLVideoDecoder.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <algorithm>
#include <cmath>

HLVideoDecoder::HLVideoDecoder(std::shared_ptr<ZKFFMovie> movie)
    : m_movie(std::move(movie)), m_duration(float(zk_ff_time_to_double(m_movie->duration())))
{
}

std::shared_ptr<HLVideoDecoder> HLVideoDecoder::videoDecoderOf(const QString &path)
{
    const std::shared_ptr<ZKSegmentMovie> segment = ZKSegmentMovie::movieWithPath(path);
    if (!segment)
        return nullptr;
    auto movie = std::dynamic_pointer_cast<ZKFFMovie>(segment->ffmovie());
    if (!movie)
        return nullptr;
    return std::shared_ptr<HLVideoDecoder>(new HLVideoDecoder(std::move(movie)));
}

QImage HLVideoDecoder::videoFrameAt(qint64 time)
{
    std::lock_guard lock(m_mutex);
    // Within [0, duration − 0.1 s]; a clip shorter than 0.1 s is served at 0, never before it.
    const qint64 second = zk_default_time_base();
    const qint64 latest = std::max<qint64>(0, m_movie->duration() - second / 10);
    const qint64 mediaTime = std::clamp<qint64>(time, 0, latest);

    const qint64 difference = mediaTime - m_lastTime;
    if (m_seekPending.exchange(false) || difference < 0 || difference >= second)
        m_movie->seekFrames(mediaTime);
    m_lastTime = mediaTime;

    bool delivered = false;
    m_movie->decodeImageAtTime(
        mediaTime,
        [&](const std::shared_ptr<ZKMovieImage> &frame) {
            delivered = true;
            if (!m_movieImage)
                m_movieImage = frame;
            else
                m_movieImage->loadReferencedMovieImage(*frame);
        },
        true);
    if (!delivered || !m_movieImage)
        return QImage();
    return m_movieImage->currentImage();
}

void HLVideoDecoder::videoSeek()
{
    m_seekPending = true;
}

void HLVideoDecoder::setFrameSize(QSize size)
{
    m_movie->setFrameSize(size);
}

float HLVideoDecoder::dLastTime() const
{
    if (m_seekPending)
        return -1.0f;
    std::lock_guard lock(m_mutex);
    return float(zk_ff_time_to_double(m_lastTime));
}

std::shared_ptr<ZKMovieImage> HLVideoDecoder::movie_image() const
{
    std::lock_guard lock(m_mutex);
    return m_movieImage;
}
