#include "Frameworks/Korvane/ZKAudioReader.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {

constexpr qint64 kMaxLeadingSilence = 10LL * ZKAudioReader::kSampleRate;
// Lapped codecs (AAC, MP3, Opus, AC-3) rebuild a frame from the ones before it, and MP3 frames
// borrow bits from earlier frames: decoding starts this long before a seek's time, and what
// comes before the time is dropped.
constexpr qint64 kSeekPreroll = AV_TIME_BASE / 5;
constexpr qint64 kUnknownStart = INT64_MIN; // a decoded frame without a timestamp

qint64 framesOf(qint64 ticks)
{
    return av_rescale(ticks, ZKAudioReader::kSampleRate, AV_TIME_BASE);
}

} // namespace

std::unique_ptr<ZKAudioReader> ZKAudioReader::open(const QString &path)
{
    std::unique_ptr<ZKAudioReader> reader(new ZKAudioReader);
    reader->m_file = ZKMediaFile::open(path);
    if (!reader->m_file || !reader->m_file->audioStream())
        return nullptr;
    AVStream *stream = reader->m_file->audioStream();
    if (reader->m_file->videoStream())
        reader->m_file->videoStream()->discard = AVDISCARD_ALL;
    reader->m_codec = ZKMediaFile::openDecoder(stream, false);
    if (!reader->m_codec)
        return nullptr;
    reader->m_packet = av_packet_alloc();
    reader->m_frame = av_frame_alloc();
    if (!reader->m_packet || !reader->m_frame)
        return nullptr;
    reader->m_alignFrame = 0;
    reader->m_skipUntil = AV_NOPTS_VALUE;
    return reader;
}

ZKAudioReader::~ZKAudioReader()
{
    swr_free(&m_swr);
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
    avcodec_free_context(&m_codec);
}

qint64 ZKAudioReader::position() const
{
    return av_rescale(m_positionFrames, AV_TIME_BASE, kSampleRate);
}

void ZKAudioReader::seek(qint64 time)
{
    time = std::max<qint64>(time, 0);
    m_positionFrames = framesOf(time);
    m_alignFrame = m_positionFrames;
    m_buffer.clear();
    m_readOffset = 0;
    m_ended = false;
    m_skipUntil = AV_NOPTS_VALUE;
    avcodec_flush_buffers(m_codec);
    // A fresh resampler: nothing of the old position may leak into the new one.
    swr_free(&m_swr);
    m_swrKey[0] = m_swrKey[1] = m_swrKey[2] = -1;

    const qint64 from = std::max<qint64>(time - kSeekPreroll, 0);
    if (!m_file->seeksExactly()) {
        // Read from the start instead, skipping packets undecoded: only then are their
        // timestamps true. Demuxing without decoding is fast.
        if (rewind())
            m_skipUntil = m_file->streamTimeOf(from, m_file->audioStream());
        return;
    }
    AVStream *stream = m_file->audioStream();
    AVFormatContext *context = m_file->context();
    m_file->armDeadline();
    const qint64 target = m_file->streamTimeOf(from, stream);
    if (av_seek_frame(context, stream->index, target, AVSEEK_FLAG_BACKWARD) < 0
        && avformat_seek_file(context, stream->index, INT64_MIN, target, target, 0) < 0)
        av_seek_frame(context, -1, 0, AVSEEK_FLAG_BYTE | AVSEEK_FLAG_BACKWARD);
}

bool ZKAudioReader::rewind()
{
    std::unique_ptr<ZKMediaFile> file = ZKMediaFile::open(m_file->path());
    if (!file || file->audioIndex() != m_file->audioIndex())
        return false;
    if (file->videoStream())
        file->videoStream()->discard = AVDISCARD_ALL;
    m_file = std::move(file);
    return true;
}

int ZKAudioReader::read(float *out, int frames)
{
    if (frames <= 0)
        return 0;
    m_file->armDeadline();
    while (!m_ended && (m_buffer.size() - m_readOffset) / 2 < size_t(frames)) {
        if (!decodeMore() || m_file->pastDeadline())
            finish();
    }
    const int available = int(std::min<size_t>((m_buffer.size() - m_readOffset) / 2, size_t(frames)));
    std::memcpy(out, m_buffer.data() + m_readOffset, size_t(available) * 2 * sizeof(float));
    std::memset(out + 2 * available, 0, size_t(frames - available) * 2 * sizeof(float));
    m_readOffset += size_t(available) * 2;
    if (m_readOffset > m_buffer.size() / 2) {
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + qsizetype(m_readOffset));
        m_readOffset = 0;
    }
    m_positionFrames += frames;
    if (m_alignFrame >= 0 && m_ended)
        m_alignFrame = -1;
    return available;
}

void ZKAudioReader::finish()
{
    if (m_swr && m_swrKey[0] >= 0) {
        // What the resampler still holds.
        const int pending = swr_get_out_samples(m_swr, 0);
        if (pending > 0) {
            m_scratch.resize(size_t(pending) * 2);
            auto *target = reinterpret_cast<uint8_t *>(m_scratch.data());
            const int made = swr_convert(m_swr, &target, pending, nullptr, 0);
            if (made > 0)
                append(m_scratch.data(), made, kUnknownStart);
        }
    }
    m_ended = true;
}

bool ZKAudioReader::setUpResampler(const AVFrame *frame)
{
    const int key[3] = {frame->format, frame->sample_rate, frame->ch_layout.nb_channels};
    if (m_swr && std::equal(key, key + 3, m_swrKey))
        return true;
    swr_free(&m_swr);
    if (frame->sample_rate <= 0 || frame->ch_layout.nb_channels <= 0)
        return false;
    AVChannelLayout input;
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&input, frame->ch_layout.nb_channels);
    else if (av_channel_layout_copy(&input, &frame->ch_layout) < 0)
        return false;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    const int made = swr_alloc_set_opts2(&m_swr, &stereo, AV_SAMPLE_FMT_FLT, kSampleRate, &input,
                                         AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
    if (made < 0 || !m_swr) {
        av_channel_layout_uninit(&input);
        return false;
    }
    if (input.nb_channels == 1) {
        // A mono file sounds on both sides at its own level.
        const double matrix[2] = {1.0, 1.0};
        swr_set_matrix(m_swr, matrix, 1);
    }
    av_channel_layout_uninit(&input);
    if (swr_init(m_swr) < 0) {
        swr_free(&m_swr);
        return false;
    }
    std::copy(key, key + 3, m_swrKey);
    return true;
}

bool ZKAudioReader::skipped(const AVPacket *packet)
{
    if (m_skipUntil == AV_NOPTS_VALUE)
        return false;
    if (packet->pts != AV_NOPTS_VALUE && packet->pts + packet->duration < m_skipUntil)
        return true;
    m_skipUntil = AV_NOPTS_VALUE;
    return false;
}

bool ZKAudioReader::decodeMore()
{
    AVFormatContext *context = m_file->context();
    const int index = m_file->audioIndex();
    for (int failures = 0; failures < 64;) {
        const int received = avcodec_receive_frame(m_codec, m_frame);
        if (received == 0) {
            if (!setUpResampler(m_frame)) {
                av_frame_unref(m_frame);
                ++failures;
                continue;
            }
            // Where this frame's first sample comes out: behind its timestamp by what the
            // resampler still holds.
            qint64 startFrame = kUnknownStart;
            const qint64 stamp = m_frame->best_effort_timestamp;
            if (stamp != AV_NOPTS_VALUE)
                startFrame = framesOf(m_file->ticksOf(stamp, m_file->audioStream()))
                             - swr_get_delay(m_swr, kSampleRate);
            const int capacity = swr_get_out_samples(m_swr, m_frame->nb_samples);
            m_scratch.resize(size_t(std::max(capacity, 0)) * 2);
            auto *target = reinterpret_cast<uint8_t *>(m_scratch.data());
            const int made = swr_convert(m_swr, &target, capacity,
                                         const_cast<const uint8_t **>(m_frame->extended_data),
                                         m_frame->nb_samples);
            av_frame_unref(m_frame);
            if (made > 0)
                append(m_scratch.data(), made, startFrame);
            return true;
        }
        if (received == AVERROR_EOF)
            return false;
        if (received != AVERROR(EAGAIN))
            ++failures;
        const int read = av_read_frame(context, m_packet);
        if (read < 0) {
            avcodec_send_packet(m_codec, nullptr);
            continue;
        }
        if (m_packet->stream_index == index && !skipped(m_packet)
            && avcodec_send_packet(m_codec, m_packet) < 0)
            ++failures;
        av_packet_unref(m_packet);
    }
    return false;
}

void ZKAudioReader::append(const float *samples, int frames, qint64 startFrame)
{
    if (m_alignFrame >= 0) {
        // The first sound after a seek: drop what lies before the position, or pad a late start.
        const qint64 expected = m_positionFrames + qint64(m_buffer.size() - m_readOffset) / 2;
        // Priming and pre-roll come before the file's start: their frames stand at negative times.
        const qint64 start = startFrame != kUnknownStart ? startFrame : expected;
        if (start < m_alignFrame) {
            const qint64 skip = std::min<qint64>(m_alignFrame - start, frames);
            samples += 2 * skip;
            frames -= int(skip);
            if (frames == 0)
                return;
        } else if (start > m_alignFrame) {
            const qint64 pad = std::min(start - m_alignFrame, kMaxLeadingSilence);
            m_buffer.insert(m_buffer.end(), size_t(pad) * 2, 0.0f);
        }
        m_alignFrame = -1;
    }
    m_buffer.insert(m_buffer.end(), samples, samples + 2 * frames);
}
