#include "Frameworks/Korvane/ZKMovieFileWriter.h"

#include "Frameworks/Korvane/ZKLibrarySetup.h"
#include "Platform/Foundation/HLThreads.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {

QString avError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

} // namespace

ZKMovieFileWriter::~ZKMovieFileWriter()
{
    close();
}

bool ZKMovieFileWriter::fail(const QString &what, int code)
{
    if (m_error.isEmpty())
        m_error = code ? QStringLiteral("%1: %2").arg(what, avError(code)) : what;
    return false;
}

bool ZKMovieFileWriter::open(const QString &path, const ZKMovieFileProfile &profile, bool withVideo,
                             bool withAudio)
{
    m_used = profile.format;
    const QByteArray muxer = profile.muxer.toUtf8();
    const QByteArray file = path.toUtf8();
    zk_setup_libraries();
    int code = avformat_alloc_output_context2(&m_format, nullptr, muxer.constData(), file.constData());
    if (code < 0 || !m_format)
        return fail(QStringLiteral("Cannot make a %1 file").arg(profile.muxer), code);
    if (withVideo && !openVideo(profile))
        return false;
    if (withAudio && !openAudio(profile))
        return false;
    if (!(m_format->oformat->flags & AVFMT_NOFILE)) {
        code = avio_open(&m_format->pb, file.constData(), AVIO_FLAG_WRITE);
        if (code < 0)
            return fail(QStringLiteral("Cannot write %1").arg(path), code);
    }
    AVDictionary *options = nullptr;
    if (profile.isDVD) {
        // DVD sectors are 2048-byte packs; players read at most 10.08 Mbit/s.
        av_dict_set(&options, "packetsize", "2048", 0);
        av_dict_set(&options, "muxrate", "10080000", 0);
    }
    code = avformat_write_header(m_format, &options);
    av_dict_free(&options);
    if (code < 0)
        return fail(QStringLiteral("Cannot start the %1 file").arg(profile.muxer), code);
    m_headerWritten = true;
    return true;
}

bool ZKMovieFileWriter::openVideo(const ZKMovieFileProfile &profile)
{
    const ZKFFMovieFileOutputFormat &f = profile.format;
    const AVCodec *codec = avcodec_find_encoder_by_name(profile.videoEncoder.toUtf8().constData());
    m_video = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!m_video)
        return fail(QStringLiteral("No %1 encoder").arg(profile.videoEncoder));
    m_video->width = f.width;
    m_video->height = f.height;
    m_video->pix_fmt = profile.pixelFormat;
    m_video->framerate = profile.frameRate;
    m_video->time_base = av_inv_q(profile.frameRate);
    m_video->sample_aspect_ratio = profile.sampleAspect;
    // Slice threads of the MPEG family cannot outnumber the macroblock rows.
    const int rows = (f.height + 15) / 16;
    m_video->thread_count = profile.videoEncoder == QLatin1String("libx264")
                                ? HLThreads::forced().value_or(0)
                                : std::clamp(HLThreads::count(), 1, rows);
    if (f.video_codec != AV_CODEC_ID_DVVIDEO)
        m_video->bit_rate = f.video_bitrate;
    if (profile.gopSize > 0)
        m_video->gop_size = profile.gopSize;
    if (f.video_codec == AV_CODEC_ID_MPEG1VIDEO || f.video_codec == AV_CODEC_ID_MPEG2VIDEO)
        m_video->max_b_frames = 2;
    if (profile.isDVD) {
        // Every group is closed, so a chapter can start at the key picture that begins one;
        // the encoder closes groups only without its own scene-cut key pictures.
        m_video->flags |= AV_CODEC_FLAG_CLOSED_GOP;
        av_opt_set_int(m_video->priv_data, "sc_threshold", 1000000000, 0);
        m_video->rc_max_rate = 9800000;
        m_video->rc_min_rate = 0;
        m_video->rc_buffer_size = 224 * 1024 * 8;
    }
    const bool hd = f.height >= 720;
    m_video->colorspace = hd ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
    m_video->color_primaries = hd ? AVCOL_PRI_BT709 : AVCOL_PRI_SMPTE170M;
    m_video->color_trc = hd ? AVCOL_TRC_BT709 : AVCOL_TRC_SMPTE170M;
    m_video->color_range = AVCOL_RANGE_MPEG;
    if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
        m_video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (profile.videoEncoder == QLatin1String("libx264"))
        av_opt_set(m_video->priv_data, "preset", "medium", 0);
    int code = avcodec_open2(m_video, codec, nullptr);
    if (code < 0)
        return fail(QStringLiteral("Cannot start the %1 encoder").arg(profile.videoEncoder), code);
    m_videoStream = avformat_new_stream(m_format, nullptr);
    if (!m_videoStream)
        return fail(QStringLiteral("Cannot add a video stream"));
    code = avcodec_parameters_from_context(m_videoStream->codecpar, m_video);
    if (code < 0)
        return fail(QStringLiteral("Cannot add a video stream"), code);
    m_videoStream->time_base = m_video->time_base;
    // The buffer and peak rates, which the MPEG program stream writer puts in its headers.
    for (int i = 0; i < m_video->nb_coded_side_data; ++i) {
        const AVPacketSideData &side = m_video->coded_side_data[i];
        if (uint8_t *data = av_stream_new_side_data(m_videoStream, side.type, side.size))
            std::memcpy(data, side.data, side.size);
    }
    m_videoStream->avg_frame_rate = profile.frameRate;
    m_videoStream->r_frame_rate = profile.frameRate;
    m_videoStream->sample_aspect_ratio = profile.sampleAspect;
    if (m_video->bit_rate > 0)
        m_used.video_bitrate = int(m_video->bit_rate);
    return true;
}

bool ZKMovieFileWriter::openAudio(const ZKMovieFileProfile &profile)
{
    const ZKFFMovieFileOutputFormat &f = profile.format;
    const AVCodec *codec = avcodec_find_encoder_by_name(profile.audioEncoder.toUtf8().constData());
    m_audio = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!m_audio)
        return fail(QStringLiteral("No %1 encoder").arg(profile.audioEncoder));
    AVSampleFormat sampleFormat = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    for (const AVSampleFormat *s = codec->sample_fmts; s && *s != AV_SAMPLE_FMT_NONE; ++s) {
        if (*s == AV_SAMPLE_FMT_FLTP)
            sampleFormat = *s;
    }
    m_audio->sample_fmt = sampleFormat;
    m_audio->sample_rate = f.sample_rate;
    av_channel_layout_default(&m_audio->ch_layout, profile.channels);
    m_audio->bit_rate = f.audio_bitrate;
    m_audio->time_base = {1, f.sample_rate};
    if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
        m_audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int code = avcodec_open2(m_audio, codec, nullptr);
    if (code < 0)
        return fail(QStringLiteral("Cannot start the %1 encoder").arg(profile.audioEncoder), code);
    m_audioStream = avformat_new_stream(m_format, nullptr);
    if (!m_audioStream)
        return fail(QStringLiteral("Cannot add a sound stream"));
    code = avcodec_parameters_from_context(m_audioStream->codecpar, m_audio);
    if (code < 0)
        return fail(QStringLiteral("Cannot add a sound stream"), code);
    m_audioStream->time_base = m_audio->time_base;

    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    code = swr_alloc_set_opts2(&m_resampler, &m_audio->ch_layout, m_audio->sample_fmt, m_audio->sample_rate,
                               &stereo, AV_SAMPLE_FMT_FLT, sourceSampleRate, 0, nullptr);
    if (code >= 0)
        code = swr_init(m_resampler);
    if (code < 0)
        return fail(QStringLiteral("Cannot resample the sound"), code);
    if (m_audio->frame_size <= 0 || (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE))
        m_audio->frame_size = 1024;
    m_fifo = av_audio_fifo_alloc(m_audio->sample_fmt, m_audio->ch_layout.nb_channels, m_audio->frame_size * 4);
    m_audioFrame = av_frame_alloc();
    if (!m_fifo || !m_audioFrame)
        return fail(QStringLiteral("Out of memory"));
    if (m_audio->bit_rate > 0)
        m_used.audio_bitrate = int(m_audio->bit_rate);
    m_used.sample_rate = m_audio->sample_rate;
    m_used.channel_layout = zk_get_default_channel_layout(m_audio->ch_layout.nb_channels);
    return true;
}

bool ZKMovieFileWriter::send(AVCodecContext *codec, AVStream *stream, AVFrame *frame)
{
    int code = avcodec_send_frame(codec, frame);
    if (code < 0)
        return fail(QStringLiteral("Cannot encode"), code);
    AVPacket *packet = av_packet_alloc();
    if (!packet)
        return fail(QStringLiteral("Out of memory"));
    while ((code = avcodec_receive_packet(codec, packet)) >= 0) {
        if (codec == m_video && packet->duration <= 0)
            packet->duration = 1;
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        code = av_interleaved_write_frame(m_format, packet);
        if (code < 0) {
            av_packet_free(&packet);
            return fail(QStringLiteral("Cannot write the file"), code);
        }
    }
    av_packet_free(&packet);
    if (code != AVERROR(EAGAIN) && code != AVERROR_EOF)
        return fail(QStringLiteral("Cannot encode"), code);
    return true;
}

bool ZKMovieFileWriter::writeVideo(AVFrame *frame, qint64 index, bool startsGroup)
{
    if (!m_video) {
        av_frame_free(&frame);
        return fail(QStringLiteral("No video stream"));
    }
    frame->pts = index;
    frame->pict_type = startsGroup ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    const bool ok = send(m_video, m_videoStream, frame);
    av_frame_free(&frame);
    return ok;
}

bool ZKMovieFileWriter::writeAudio(const float *samples, int frames)
{
    if (!m_audio)
        return fail(QStringLiteral("No sound stream"));
    const int room = swr_get_out_samples(m_resampler, frames);
    uint8_t **out = nullptr;
    int lineSize = 0;
    int code = av_samples_alloc_array_and_samples(&out, &lineSize, m_audio->ch_layout.nb_channels,
                                                  std::max(room, 1), m_audio->sample_fmt, 0);
    if (code < 0)
        return fail(QStringLiteral("Out of memory"), code);
    const uint8_t *in[1] = {reinterpret_cast<const uint8_t *>(samples)};
    const int made = swr_convert(m_resampler, out, room, samples ? in : nullptr, frames);
    if (made > 0)
        av_audio_fifo_write(m_fifo, reinterpret_cast<void **>(out), made);
    av_freep(&out[0]);
    av_freep(&out);
    if (made < 0)
        return fail(QStringLiteral("Cannot resample the sound"), made);
    return encodeAudioFifo(false);
}

bool ZKMovieFileWriter::encodeAudioFifo(bool drain)
{
    const int frameSize = m_audio->frame_size;
    const bool smallLast = m_audio->codec->capabilities
                           & (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    while (av_audio_fifo_size(m_fifo) >= frameSize || (drain && av_audio_fifo_size(m_fifo) > 0)) {
        const int available = std::min(av_audio_fifo_size(m_fifo), frameSize);
        av_frame_unref(m_audioFrame);
        m_audioFrame->nb_samples = smallLast ? available : frameSize;
        m_audioFrame->format = m_audio->sample_fmt;
        m_audioFrame->sample_rate = m_audio->sample_rate;
        av_channel_layout_copy(&m_audioFrame->ch_layout, &m_audio->ch_layout);
        int code = av_frame_get_buffer(m_audioFrame, 0);
        if (code < 0)
            return fail(QStringLiteral("Out of memory"), code);
        // A last short frame is padded with silence where the encoder takes only whole ones.
        av_samples_set_silence(m_audioFrame->extended_data, 0, m_audioFrame->nb_samples,
                               m_audio->ch_layout.nb_channels, m_audio->sample_fmt);
        av_audio_fifo_read(m_fifo, reinterpret_cast<void **>(m_audioFrame->extended_data), available);
        m_audioFrame->pts = m_audioPts;
        m_audioPts += m_audioFrame->nb_samples;
        if (!send(m_audio, m_audioStream, m_audioFrame))
            return false;
    }
    return true;
}

bool ZKMovieFileWriter::finish()
{
    if (!m_headerWritten)
        return fail(QStringLiteral("The file is not open"));
    if (m_audio) {
        if (!writeAudio(nullptr, 0) || !encodeAudioFifo(true) || !send(m_audio, m_audioStream, nullptr))
            return false;
    }
    if (m_video && !send(m_video, m_videoStream, nullptr))
        return false;
    const int code = av_write_trailer(m_format);
    m_headerWritten = false;
    if (code < 0)
        return fail(QStringLiteral("Cannot finish the file"), code);
    if (!(m_format->oformat->flags & AVFMT_NOFILE)) {
        const int closed = avio_closep(&m_format->pb);
        if (closed < 0)
            return fail(QStringLiteral("Cannot finish the file"), closed);
    }
    close();
    return true;
}

void ZKMovieFileWriter::close()
{
    if (m_format && m_format->pb && !(m_format->oformat->flags & AVFMT_NOFILE))
        avio_closep(&m_format->pb);
    avformat_free_context(m_format);
    m_format = nullptr;
    avcodec_free_context(&m_video);
    avcodec_free_context(&m_audio);
    swr_free(&m_resampler);
    if (m_fifo)
        av_audio_fifo_free(m_fifo);
    m_fifo = nullptr;
    av_frame_free(&m_audioFrame);
    m_videoStream = nullptr;
    m_audioStream = nullptr;
}
