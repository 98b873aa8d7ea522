#include "Frameworks/Korvane/ZKVideoReader.h"

#include "Frameworks/Korvane/ZKDeinterlacer.h"
#include "Frameworks/Korvane/ZKFrameBuffer.h"

#include <QTransform>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace {

constexpr qint64 kSecond = AV_TIME_BASE;
// Half a second back, then one, two, four … before giving up on finding an earlier picture.
constexpr int kSeekAttempts = 8;
// Asked times and stamps are each rounded to whole ticks, and asked times come from item starts
// the model keeps as float seconds (2 µs coarse at 18 s, a quarter millisecond at an hour): a
// picture stamped up to half a millisecond after the time asked for is the one meant.
constexpr qint64 kStampSlack = kSecond / 2000;

} // namespace

std::unique_ptr<ZKVideoReader> ZKVideoReader::open(const QString &path)
{
    std::unique_ptr<ZKVideoReader> reader(new ZKVideoReader);
    reader->m_file = ZKMediaFile::open(path);
    if (!reader->m_file || !reader->m_file->videoStream())
        return nullptr;
    AVStream *stream = reader->m_file->videoStream();
    // Only the picture track is read here.
    if (reader->m_file->audioStream())
        reader->m_file->audioStream()->discard = AVDISCARD_ALL;
    // Program and transport streams may stamp only some pictures, and a time guessed from
    // decoding order runs a few frames early after a jump.
    reader->m_onlySomeStamped = reader->m_file->context()->iformat->flags & AVFMT_TS_DISCONT;
    if (reader->m_onlySomeStamped)
        reader->m_file->context()->flags |= AVFMT_FLAG_NOFILLIN;
    reader->m_codec = ZKMediaFile::openDecoder(stream, true);
    if (!reader->m_codec)
        return nullptr;
    reader->m_packet = av_packet_alloc();
    reader->m_current = av_frame_alloc();
    reader->m_next = av_frame_alloc();
    if (!reader->m_packet || !reader->m_current || !reader->m_next)
        return nullptr;
    return reader;
}

ZKVideoReader::~ZKVideoReader()
{
    sws_freeContext(m_sws);
    av_frame_free(&m_current);
    av_frame_free(&m_next);
    av_packet_free(&m_packet);
    avcodec_free_context(&m_codec);
}

void ZKVideoReader::reposition(qint64 time)
{
    m_pendingReposition = true;
    m_repositionTime = time;
}

bool ZKVideoReader::needsSeek(qint64 time) const
{
    if (!m_hasCurrent && !m_hasNext)
        return m_lastTicks + kSecond <= time; // nothing decoded yet: decode from the start only when near
    if (m_hasCurrent && time < m_currentTime)
        return true;
    const qint64 position = m_hasNext ? m_nextTime : m_currentTime;
    if (time <= position)
        return false;
    AVStream *stream = m_file->videoStream();
    if (avformat_index_get_entries_count(stream) > 0) {
        // Jump only when it skips a good stretch of decoding: a keyframe well after where we are.
        const AVIndexEntry *entry = avformat_index_get_entry_from_timestamp(
            stream, m_file->streamTimeOf(time, stream), AVSEEK_FLAG_BACKWARD);
        if (entry && entry->timestamp != AV_NOPTS_VALUE)
            return m_file->ticksOf(entry->timestamp, stream) > position + kSecond / 2;
    }
    return time - position >= kSecond;
}

bool ZKVideoReader::seekTo(qint64 time)
{
    ++m_seekCount;
    AVStream *stream = m_file->videoStream();
    AVFormatContext *context = m_file->context();
    const qint64 target = m_file->streamTimeOf(std::max<qint64>(time, 0), stream);
    int result = -1;
    // A timestamp search in a program or transport stream lands just after its first
    // keyframe; the start of the file is its start.
    if (time <= 0 && (context->iformat->flags & AVFMT_TS_DISCONT))
        result = av_seek_frame(context, -1, 0, AVSEEK_FLAG_BYTE | AVSEEK_FLAG_BACKWARD);
    if (result < 0)
        result = av_seek_frame(context, stream->index, target, AVSEEK_FLAG_BACKWARD);
    if (result < 0)
        result = avformat_seek_file(context, stream->index, INT64_MIN, target, target, 0);
    if (result < 0)
        result = av_seek_frame(context, -1, 0, AVSEEK_FLAG_BYTE | AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(m_codec);
    av_frame_unref(m_current);
    av_frame_unref(m_next);
    m_hasCurrent = m_hasNext = false;
    m_ended = m_draining = false;
    if (m_deinterlacer)
        m_deinterlacer->reset();
    m_deinterlacerEnded = false;
    m_lastTicks = 0;
    m_ticksKnown = time <= 0;
    return result >= 0;
}

qint64 ZKVideoReader::frameTicks(const AVFrame *frame)
{
    const AVStream *stream = m_file->videoStream();
    qint64 stamp = m_onlySomeStamped ? frame->pts : frame->best_effort_timestamp;
    if (stamp == AV_NOPTS_VALUE && !m_onlySomeStamped)
        stamp = frame->pts;
    if (stamp == AV_NOPTS_VALUE) {
        // No timestamp: one frame duration after the previous frame, unknown before the
        // first stamped one after a jump.
        if (!m_ticksKnown)
            return AV_NOPTS_VALUE;
        AVRational rate = av_guess_frame_rate(m_file->context(), const_cast<AVStream *>(stream), nullptr);
        const qint64 step = rate.num > 0 ? av_rescale(kSecond, rate.den, rate.num) : kSecond / 25;
        m_lastTicks += step;
        return m_lastTicks;
    }
    m_lastTicks = m_file->ticksOf(stamp, stream);
    m_ticksKnown = true;
    return m_lastTicks;
}

bool ZKVideoReader::decodeInto(AVFrame *frame)
{
    AVFormatContext *context = m_file->context();
    const int index = m_file->videoIndex();
    int failures = 0;
    while (true) {
        const int received = avcodec_receive_frame(m_codec, frame);
        if (received == 0)
            return true;
        if (received == AVERROR_EOF || m_draining)
            return false;
        if (received != AVERROR(EAGAIN) && ++failures > 64)
            return false;
        const int read = av_read_frame(context, m_packet);
        if (read < 0) {
            // End of the file (or a damaged tail): let the decoder give what it holds.
            m_draining = true;
            avcodec_send_packet(m_codec, nullptr);
            continue;
        }
        if (m_packet->stream_index == index && avcodec_send_packet(m_codec, m_packet) < 0)
            ++failures;
        av_packet_unref(m_packet);
        if (failures > 64)
            return false;
    }
}

bool ZKVideoReader::decodeNext()
{
    while (!m_file->pastDeadline()) {
        if (m_deinterlacer && m_deinterlacer->pull(m_next)) {
            m_nextTime = m_next->pts; // the ticks it went in with
            m_hasNext = true;
            return true;
        }
        if (!decodeInto(m_next)) {
            if (m_deinterlacer && !m_deinterlacerEnded) {
                m_deinterlacerEnded = true;
                m_deinterlacer->end(); // lets the last picture out
                continue;
            }
            m_ended = true;
            return false;
        }
        const qint64 ticks = frameTicks(m_next);
        if (ticks == AV_NOPTS_VALUE) {
            av_frame_unref(m_next); // its time is unknown: the next stamped picture serves
            continue;
        }
        if (!m_deinterlacer && !m_deinterlaceFailed && ZKDeinterlacer::isInterlaced(m_file->videoStream(), m_next))
            m_deinterlacer = std::make_unique<ZKDeinterlacer>(m_file->videoStream());
        if (m_deinterlacer) {
            m_next->pts = ticks;
            if (m_deinterlacer->push(m_next))
                continue;
            m_deinterlacer.reset(); // no filter for these pictures: shown as they are
            m_deinterlaceFailed = true;
        }
        m_nextTime = ticks;
        m_hasNext = true;
        return true;
    }
    return false;
}

void ZKVideoReader::seekBefore(qint64 time)
{
    // Program and transport streams land where the timestamp is, not on a keyframe: their
    // first picture may come well after the time, or none at all near the end. Step back
    // until the first picture decoded starts at or before the time.
    qint64 backoff = 0;
    for (int attempt = 0; attempt < kSeekAttempts && !m_file->pastDeadline(); ++attempt) {
        const qint64 target = std::max<qint64>(time - backoff, 0);
        seekTo(target);
        if ((decodeNext() && m_nextTime <= time) || target == 0)
            return;
        backoff = backoff == 0 ? kSecond / 2 : backoff * 2;
    }
}

QImage ZKVideoReader::frameAt(qint64 time, QSize size, qint64 *frameTime)
{
    m_file->armDeadline();
    if (m_pendingReposition) {
        m_pendingReposition = false;
        seekBefore(std::min(m_repositionTime, time));
    } else if (needsSeek(time)) {
        seekBefore(time);
    }

    while (!m_ended && !m_file->pastDeadline()) {
        if (m_hasNext) {
            // A frame after the request ends the walk; when nothing came before it (a request
            // ahead of the first frame) that first frame serves.
            if (m_nextTime > time + kStampSlack)
                break;
            av_frame_unref(m_current);
            av_frame_move_ref(m_current, m_next);
            m_currentTime = m_nextTime;
            m_hasCurrent = true;
            m_hasNext = false;
            continue;
        }
        if (!decodeNext())
            break;
    }

    const AVFrame *shown = m_hasCurrent ? m_current : (m_hasNext ? m_next : nullptr);
    if (!shown)
        return QImage();
    const qint64 shownTime = m_hasCurrent ? m_currentTime : m_nextTime;
    if (frameTime)
        *frameTime = shownTime;
    if (size.isEmpty())
        size = m_file->displaySize();
    if (m_imageValid && m_imageTime == shownTime && m_imageSize == size)
        return m_image;
    m_image = convert(shown, size);
    m_imageTime = shownTime;
    m_imageSize = size;
    m_imageValid = !m_image.isNull();
    return m_image;
}

QImage ZKVideoReader::convert(const AVFrame *frame, QSize size)
{
    const int rotation = m_file->rotation();
    QSize scaled = size;
    if (rotation == 90 || rotation == 270)
        scaled.transpose();
    if (scaled.width() <= 0 || scaled.height() <= 0 || frame->width <= 0 || frame->height <= 0)
        return QImage();

    const int key[5] = {frame->width, frame->height, frame->format, scaled.width(), scaled.height()};
    if (!m_sws || !std::equal(key, key + 5, m_swsKey)) {
        sws_freeContext(m_sws);
        m_sws = sws_alloc_context();
        if (!m_sws)
            return QImage();
        av_opt_set_int(m_sws, "srcw", frame->width, 0);
        av_opt_set_int(m_sws, "srch", frame->height, 0);
        av_opt_set_int(m_sws, "src_format", frame->format, 0);
        av_opt_set_int(m_sws, "dstw", scaled.width(), 0);
        av_opt_set_int(m_sws, "dsth", scaled.height(), 0);
        av_opt_set_int(m_sws, "dst_format", AV_PIX_FMT_BGRA, 0);
        av_opt_set_int(m_sws, "sws_flags", SWS_BICUBIC, 0);
        av_opt_set_int(m_sws, "threads", 0, 0);
        if (sws_init_context(m_sws, nullptr, nullptr) < 0) {
            sws_freeContext(m_sws);
            m_sws = nullptr;
            return QImage();
        }
        std::copy(key, key + 5, m_swsKey);
        const int space = frame->colorspace == AVCOL_SPC_UNSPECIFIED
                              ? (frame->height > 576 ? SWS_CS_ITU709 : SWS_CS_DEFAULT)
                              : int(frame->colorspace);
        const int fullRange = frame->color_range == AVCOL_RANGE_JPEG ? 1 : 0;
        int *inverse = nullptr, *table = nullptr, srcRange = 0, dstRange = 0, brightness = 0,
            contrast = 0, saturation = 0;
        if (sws_getColorspaceDetails(m_sws, &inverse, &srcRange, &table, &dstRange, &brightness,
                                     &contrast, &saturation)
            >= 0) {
            sws_setColorspaceDetails(m_sws, sws_getCoefficients(space), fullRange || srcRange,
                                     sws_getCoefficients(SWS_CS_DEFAULT), 1, brightness, contrast,
                                     saturation);
        }
    }

    AVFrame *target = zk_padded_frame(scaled, AV_PIX_FMT_BGRA);
    if (!target)
        return QImage();
    if (sws_scale_frame(m_sws, target, frame) < 0) {
        av_frame_free(&target);
        return QImage();
    }
    QImage image = zk_image_over_frame(target, QImage::Format_ARGB32_Premultiplied);
    if (rotation != 0)
        image = image.transformed(QTransform().rotate(rotation));
    return image;
}
