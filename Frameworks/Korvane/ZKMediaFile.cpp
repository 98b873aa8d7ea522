#include "Frameworks/Korvane/ZKMediaFile.h"

#include "Frameworks/Korvane/ZKLibrarySetup.h"
#include "Platform/Foundation/HLThreads.h"

#include <QFileInfo>

#include <cmath>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

namespace {

// Demuxers that turn plain text into "video"; a text file is not a movie.
bool isTextDemuxer(const char *name)
{
    for (const char *text : {"tty", "bin", "xbin", "adf", "idf"}) {
        if (std::strcmp(name, text) == 0)
            return true;
    }
    return false;
}

bool isBareAudioDemuxer(const char *name)
{
    for (const char *bare : {"mp3", "aac", "ac3", "eac3", "dts"}) {
        if (std::strcmp(name, bare) == 0)
            return true;
    }
    return false;
}

} // namespace

std::unique_ptr<ZKMediaFile> ZKMediaFile::open(const QString &path)
{
    zk_setup_libraries();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || info.size() == 0)
        return nullptr;

    std::unique_ptr<ZKMediaFile> file(new ZKMediaFile);
    file->m_path = path;
    AVFormatContext *context = avformat_alloc_context();
    if (!context)
        return nullptr;
    context->interrupt_callback.callback = &ZKMediaFile::interruptCallback;
    context->interrupt_callback.opaque = file.get();
    file->armDeadline(std::chrono::seconds(10));
    const QByteArray local = QFile::encodeName(path);
    if (avformat_open_input(&context, local.constData(), nullptr, nullptr) < 0)
        return nullptr; // avformat_open_input frees the context on failure
    file->m_context = context;
    if (isTextDemuxer(context->iformat->name))
        return nullptr;
    if (avformat_find_stream_info(context, nullptr) < 0 || file->pastDeadline())
        return nullptr;
    file->m_seeksExactly = !isBareAudioDemuxer(context->iformat->name);

    file->m_video = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    file->m_audio = av_find_best_stream(context, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (file->m_video >= 0) {
        const AVStream *stream = context->streams[file->m_video];
        // Cover art in a music file is no picture track.
        if (stream->disposition & AV_DISPOSITION_ATTACHED_PIC || stream->codecpar->width <= 0
            || stream->codecpar->height <= 0)
            file->m_video = -1;
    }
    if (file->m_audio >= 0) {
        const AVCodecParameters *par = context->streams[file->m_audio]->codecpar;
        if (par->sample_rate <= 0 || par->ch_layout.nb_channels <= 0)
            file->m_audio = -1;
    }
    if (file->m_video < 0 && file->m_audio < 0)
        return nullptr;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        if (int(i) != file->m_video && int(i) != file->m_audio)
            context->streams[i]->discard = AVDISCARD_ALL;
    }

    // A negative start is the codec's priming (Opus pre-skip, Vorbis): the decoder drops it,
    // and the sound heard starts at timestamp 0.
    file->m_origin = context->start_time == AV_NOPTS_VALUE ? 0 : std::max<qint64>(context->start_time, 0);
    if (context->duration != AV_NOPTS_VALUE && context->duration > 0) {
        file->m_duration = context->duration;
    } else {
        for (int index : {file->m_video, file->m_audio}) {
            if (index < 0)
                continue;
            const AVStream *stream = context->streams[index];
            if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
                file->m_duration = std::max<qint64>(file->m_duration,
                                            av_rescale_q(stream->duration, stream->time_base,
                                                         AVRational{1, AV_TIME_BASE}));
        }
    }

    file->m_declaredDuration = file->m_duration;
    file->m_duration = std::min(file->m_duration, file->presentLength());

    if (file->m_video >= 0) {
        AVStream *stream = context->streams[file->m_video];
        const int width = stream->codecpar->width;
        const int height = stream->codecpar->height;
        AVRational sar = av_guess_sample_aspect_ratio(context, stream, nullptr);
        double displayWidth = width;
        if (sar.num > 0 && sar.den > 0)
            displayWidth = width * av_q2d(sar);
        const auto *matrix = reinterpret_cast<const int32_t *>(
            av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
        if (matrix) {
            const double angle = -av_display_rotation_get(matrix);
            if (std::isfinite(angle)) {
                int degrees = int(std::lround(angle / 90.0)) * 90 % 360;
                file->m_rotation = degrees < 0 ? degrees + 360 : degrees;
            }
        }
        QSize display(int(std::lround(displayWidth)), height);
        if (file->m_rotation == 90 || file->m_rotation == 270)
            display.transpose();
        file->m_displaySize = display;
    }
    return file;
}

qint64 ZKMediaFile::presentLength() const
{
    // A file cut short keeps the index its header promised (an MP4 whose index comes
    // first): the streams end at the first sample whose bytes are missing.
    const int64_t size = m_context->pb ? avio_size(m_context->pb) : -1;
    if (size <= 0)
        return m_duration;
    qint64 length = 0;
    bool cut = false;
    for (int index : {m_video, m_audio}) {
        if (index < 0)
            continue;
        const AVStream *stream = m_context->streams[index];
        const int count = avformat_index_get_entries_count(stream);
        const AVIndexEntry *last = count > 0 ? avformat_index_get_entry(const_cast<AVStream *>(stream), count - 1) : nullptr;
        qint64 end = m_duration;
        for (int i = 0; last && last->pos + last->size > size && i < count; ++i) {
            const AVIndexEntry *entry = avformat_index_get_entry(const_cast<AVStream *>(stream), i);
            if (entry && entry->pos + entry->size > size && entry->timestamp != AV_NOPTS_VALUE) {
                end = std::max<qint64>(ticksOf(entry->timestamp, stream), 0);
                cut = true;
                break;
            }
        }
        length = std::max(length, end);
    }
    return cut ? length : m_duration;
}

ZKMediaFile::~ZKMediaFile()
{
    if (m_context)
        avformat_close_input(&m_context);
}

AVStream *ZKMediaFile::videoStream() const
{
    return m_video >= 0 ? m_context->streams[m_video] : nullptr;
}

AVStream *ZKMediaFile::audioStream() const
{
    return m_audio >= 0 ? m_context->streams[m_audio] : nullptr;
}

AVCodecContext *ZKMediaFile::openDecoder(const AVStream *stream, bool threaded)
{
    const AVCodec *decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!decoder)
        return nullptr;
    AVCodecContext *codec = avcodec_alloc_context3(decoder);
    if (!codec)
        return nullptr;
    if (avcodec_parameters_to_context(codec, stream->codecpar) < 0) {
        avcodec_free_context(&codec);
        return nullptr;
    }
    codec->pkt_timebase = stream->time_base;
    if (threaded) {
        codec->thread_count = HLThreads::forced().value_or(0);
        codec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    }
    if (avcodec_open2(codec, decoder, nullptr) < 0)
        avcodec_free_context(&codec); // leaves codec null
    return codec;
}

qint64 ZKMediaFile::ticksOf(qint64 streamTime, const AVStream *stream) const
{
    return av_rescale_q(streamTime, stream->time_base, AVRational{1, AV_TIME_BASE}) - m_origin;
}

qint64 ZKMediaFile::streamTimeOf(qint64 ticks, const AVStream *stream) const
{
    // Rounded down: a seek target must never land after the time asked for.
    return av_rescale_q_rnd(ticks + m_origin, AVRational{1, AV_TIME_BASE}, stream->time_base,
                            AVRounding(AV_ROUND_DOWN | AV_ROUND_PASS_MINMAX));
}

void ZKMediaFile::armDeadline(std::chrono::milliseconds span)
{
    m_deadline = std::chrono::steady_clock::now() + span;
}

bool ZKMediaFile::pastDeadline() const
{
    return std::chrono::steady_clock::now() > m_deadline;
}

int ZKMediaFile::interruptCallback(void *opaque)
{
    return static_cast<ZKMediaFile *>(opaque)->pastDeadline() ? 1 : 0;
}
