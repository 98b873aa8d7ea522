#include "Frameworks/Korvane/ZKMovieFileProfile.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

namespace {

struct Container
{
    const char *extension;
    const char *muxer;
    bool takesVideo;
};

// "m4v" goes through the iPod muxer: the raw "m4v" muxer writes a bare MPEG-4 stream.
const Container containers[] = {
    {"mp4", "mp4", true},   {"mov", "mov", true},     {"m4v", "ipod", true},
    {"mpg", "mpeg", true},  {"ts", "mpegts", true},   {"wmv", "asf", true},
    {"asf", "asf", true},   {"mkv", "matroska", true}, {"flv", "flv", true},
    {"dv", "dv", true},     {"avi", "avi", true},     {"m4a", "ipod", false},
    {"dvd", "dvd", true},
};

const AVRational ntscRates[] = {{24000, 1001}, {30000, 1001}, {60000, 1001}};
// MPEG-1 knows only these without leaving the standard.
const AVRational mpeg1Rates[] = {{24000, 1001}, {24, 1}, {25, 1},         {30000, 1001},
                                 {30, 1},       {50, 1}, {60000, 1001},  {60, 1}};
const int mp2Rates[] = {44100, 48000, 32000, 22050, 24000, 16000};
const int ac3Rates[] = {48000, 44100, 32000};
const int flvRates[] = {44100, 22050, 11025};

const int ac3Bitrates[] = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                           192, 224, 256, 320, 384, 448, 512, 576, 640};
const int mpeg1LayerIIBitrates[] = {32,  48,  56,  64,  80,  96,  112,
                                    128, 160, 192, 224, 256, 320, 384};
const int mpeg1LayerIIIBitrates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
const int mpeg2LowRateBitrates[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
const int mpeg25Bitrates[] = {8, 16, 24, 32, 40, 48, 56, 64};

template<typename Range>
int nearestInt(const Range &values, int wanted)
{
    int best = *std::begin(values);
    for (int value : values) {
        if (std::abs(qint64(value) - wanted) < std::abs(qint64(best) - wanted))
            best = value;
    }
    return best;
}

// Bit rates in kbit/s from a table, the request in bit/s.
template<typename Range>
int nearestBitrate(const Range &kbits, int wanted)
{
    return nearestInt(kbits, wanted / 1000) * 1000;
}

AVRational nearestRate(const std::vector<AVRational> &rates, AVRational wanted)
{
    AVRational best = rates.front();
    const double w = av_q2d(wanted);
    for (AVRational r : rates) {
        if (std::abs(av_q2d(r) - w) < std::abs(av_q2d(best) - w))
            best = r;
    }
    return best;
}

std::vector<int> encoderRates(const AVCodec *codec)
{
    std::vector<int> rates;
    for (const int *r = codec ? codec->supported_samplerates : nullptr; r && *r; ++r)
        rates.push_back(*r);
    return rates;
}

const AVCodec *findEncoder(AVCodecID id)
{
    if (id == AV_CODEC_ID_H264) {
        if (const AVCodec *x264 = avcodec_find_encoder_by_name("libx264"))
            return x264;
    }
    if (id == AV_CODEC_ID_MP3) {
        if (const AVCodec *lame = avcodec_find_encoder_by_name("libmp3lame"))
            return lame;
    }
    return avcodec_find_encoder(id);
}

QString codecName(int id)
{
    return QString::fromUtf8(avcodec_get_name(AVCodecID(id)));
}

int evenClamp(int value, int low, int high)
{
    return std::clamp(value, low, high) & ~1;
}


bool fail(ZKMovieFileProfile &p, const QString &error)
{
    p.error = error;
    return false;
}

// Muxers that cannot tell (negative answer) are given the benefit of the doubt.
bool fits(const AVOutputFormat *muxer, int codec)
{
    return avformat_query_codec(muxer, AVCodecID(codec), FF_COMPLIANCE_NORMAL) != 0;
}

// The container named by the extension, and what it asks of the streams.
const AVOutputFormat *containerOf(ZKMovieFileProfile &p, const QString &extension)
{
    const Container *container = nullptr;
    for (const Container &c : containers) {
        if (extension == QLatin1String(c.extension))
            container = &c;
    }
    if (!container) {
        fail(p, QStringLiteral("Unknown movie file type \"%1\"").arg(extension));
        return nullptr;
    }
    p.isDVD = extension == QLatin1String("dvd");
    p.takesVideo = container->takesVideo;
    p.needsVideo = extension == QLatin1String("dv");
    p.fixedSize = p.isDVD || p.needsVideo;
    p.muxer = QString::fromLatin1(container->muxer);
    const AVOutputFormat *muxer = av_guess_format(container->muxer, nullptr, nullptr);
    if (!muxer)
        fail(p, QStringLiteral("No %1 writer").arg(p.muxer));
    return muxer;
}

const AVCodec *videoEncoderFor(ZKMovieFileProfile &p, const AVOutputFormat *muxer, const QString &extension)
{
    const int codec = p.format.video_codec;
    if (p.isDVD && codec != AV_CODEC_ID_MPEG2VIDEO) {
        fail(p, QStringLiteral("A DVD file takes MPEG-2 video, not %1").arg(codecName(codec)));
        return nullptr;
    }
    if (p.needsVideo && codec != AV_CODEC_ID_DVVIDEO) {
        fail(p, QStringLiteral("A DV file takes DV video, not %1").arg(codecName(codec)));
        return nullptr;
    }
    const AVCodec *encoder = codec != AV_CODEC_ID_NONE ? findEncoder(AVCodecID(codec)) : nullptr;
    if (!encoder || encoder->type != AVMEDIA_TYPE_VIDEO) {
        fail(p, QStringLiteral("Unknown video codec %1").arg(codec));
        return nullptr;
    }
    if (!fits(muxer, codec)) {
        fail(p, QStringLiteral("The %1 container cannot hold %2 video").arg(extension, codecName(codec)));
        return nullptr;
    }
    return encoder;
}

bool isPal(AVRational rate)
{
    return std::abs(av_q2d(rate) - 25.0) < std::abs(av_q2d(rate) - 30000.0 / 1001.0);
}

// NTSC's near rates made exact, then a rate the encoder takes; DV and DVD files get their
// standard's rate and frame size, other sizes are made even and kept within the codec's.
bool snapFrameRateAndSize(ZKMovieFileProfile &p, const AVCodec *encoder)
{
    ZKFFMovieFileOutputFormat &f = p.format;
    if (f.framerate <= 0 || f.frameTime <= 0)
        return fail(p, QStringLiteral("Bad frame rate %1/%2").arg(f.framerate).arg(f.frameTime));
    AVRational rate;
    av_reduce(&rate.num, &rate.den, f.framerate, f.frameTime, 1 << 30);
    for (AVRational ntsc : ntscRates) {
        if (std::abs(av_q2d(rate) - av_q2d(ntsc)) < 0.005)
            rate = ntsc;
    }
    const bool pal = isPal(rate);
    if (p.fixedSize) {
        rate = pal ? AVRational{25, 1} : AVRational{30000, 1001};
        f.width = 720;
        f.height = pal ? 576 : 480;
    } else {
        const int maxSide = f.video_codec == AV_CODEC_ID_MPEG1VIDEO || f.video_codec == AV_CODEC_ID_MPEG2VIDEO ? 4094 : 8192;
        f.width = evenClamp(f.width, 16, maxSide);
        f.height = evenClamp(f.height, 16, maxSide);
    }
    if (f.video_codec == AV_CODEC_ID_MPEG1VIDEO) {
        rate = nearestRate({std::begin(mpeg1Rates), std::end(mpeg1Rates)}, rate);
    } else if (encoder->supported_framerates) {
        rate = encoder->supported_framerates[av_find_nearest_q_idx(rate, encoder->supported_framerates)];
    } else if (rate.den > 65535) {
        // MPEG-4 part 2 and its relatives count time in 16 bits.
        av_reduce(&rate.num, &rate.den, rate.num, rate.den, 65535);
    }
    p.frameRate = rate;
    f.framerate = rate.num;
    f.frameTime = rate.den;
    return true;
}

// A DV or DVD picture is 4:3 or 16:9 on its fixed frame; others show as asked or square.
void snapAspect(ZKMovieFileProfile &p)
{
    ZKFFMovieFileOutputFormat &f = p.format;
    if (p.fixedSize) {
        p.displayAspect = std::abs(f.aspect - 16.0 / 9.0) < std::abs(f.aspect - 4.0 / 3.0) ? 16.0 / 9.0 : 4.0 / 3.0;
        f.aspect = float(p.displayAspect);
    } else {
        p.displayAspect = f.aspect > 0 ? double(f.aspect) : double(f.width) / f.height;
    }
    av_reduce(&p.sampleAspect.num, &p.sampleAspect.den,
              qint64(std::llround(p.displayAspect * f.height * 1000)), qint64(f.width) * 1000, 255);
    if (f.aspect <= 0)
        p.sampleAspect = {1, 1};
}

void snapVideoBitrate(ZKMovieFileProfile &p)
{
    ZKFFMovieFileOutputFormat &f = p.format;
    if (f.video_codec == AV_CODEC_ID_DVVIDEO) {
        p.pixelFormat = isPal(p.frameRate) ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_YUV411P;
        f.video_bitrate = 25000000;
    } else if (p.isDVD) {
        // DVD players take up to 9.8 Mbit/s of video.
        f.video_bitrate = std::clamp(f.video_bitrate, 500000, 9800000);
        p.gopSize = isPal(p.frameRate) ? 15 : 18;
    } else {
        f.video_bitrate = std::max(f.video_bitrate, 32000);
    }
}

bool snapVideo(ZKMovieFileProfile &p, const AVOutputFormat *muxer, const QString &extension)
{
    const AVCodec *encoder = videoEncoderFor(p, muxer, extension);
    if (!encoder || !snapFrameRateAndSize(p, encoder))
        return false;
    p.videoEncoder = QString::fromUtf8(encoder->name);
    snapAspect(p);
    snapVideoBitrate(p);
    return true;
}

const AVCodec *audioEncoderFor(ZKMovieFileProfile &p, const AVOutputFormat *muxer, const QString &extension)
{
    const int codec = p.format.audio_codec;
    const AVCodec *audio = codec != AV_CODEC_ID_NONE ? findEncoder(AVCodecID(codec)) : nullptr;
    if (!audio || audio->type != AVMEDIA_TYPE_AUDIO) {
        fail(p, QStringLiteral("Unknown audio codec %1").arg(codec));
        return nullptr;
    }
    if (p.isDVD && codec != AV_CODEC_ID_AC3) {
        fail(p, QStringLiteral("A DVD file takes AC-3 sound, not %1").arg(codecName(codec)));
        return nullptr;
    }
    if (p.needsVideo && codec != AV_CODEC_ID_PCM_S16LE) {
        fail(p, QStringLiteral("A DV file takes PCM sound, not %1").arg(codecName(codec)));
        return nullptr;
    }
    if (!fits(muxer, codec)) {
        fail(p, QStringLiteral("The %1 container cannot hold %2 sound").arg(extension, codecName(codec)));
        return nullptr;
    }
    return audio;
}

// Sample rate, bit rate and channel count from what each codec's standard allows.
void snapSoundToCodec(ZKMovieFileProfile &p, const AVCodec *audio, const QString &extension)
{
    ZKFFMovieFileOutputFormat &f = p.format;
    switch (f.audio_codec) {
    case AV_CODEC_ID_MP2:
        f.sample_rate = nearestInt(mp2Rates, f.sample_rate);
        f.audio_bitrate = f.sample_rate >= 32000 ? nearestBitrate(mpeg1LayerIIBitrates, f.audio_bitrate)
                                                 : nearestBitrate(mpeg2LowRateBitrates, f.audio_bitrate);
        p.channels = std::min(p.channels, 2);
        break;
    case AV_CODEC_ID_MP3:
        f.sample_rate = extension == QLatin1String("flv")
                            ? nearestInt(flvRates, f.sample_rate)
                            : nearestInt(encoderRates(audio), f.sample_rate);
        f.audio_bitrate = f.sample_rate >= 32000   ? nearestBitrate(mpeg1LayerIIIBitrates, f.audio_bitrate)
                          : f.sample_rate >= 16000 ? nearestBitrate(mpeg2LowRateBitrates, f.audio_bitrate)
                                                   : nearestBitrate(mpeg25Bitrates, f.audio_bitrate);
        p.channels = std::min(p.channels, 2);
        break;
    case AV_CODEC_ID_AC3:
        f.sample_rate = p.isDVD ? 48000 : nearestInt(ac3Rates, f.sample_rate);
        f.audio_bitrate = p.isDVD ? 448000 : nearestBitrate(ac3Bitrates, f.audio_bitrate);
        p.channels = std::min(p.channels, 6);
        break;
    case AV_CODEC_ID_WMAV1:
    case AV_CODEC_ID_WMAV2:
        f.sample_rate = std::clamp(f.sample_rate, 8000, 48000);
        f.audio_bitrate = std::max(f.audio_bitrate, 24000);
        p.channels = std::min(p.channels, 2);
        break;
    case AV_CODEC_ID_PCM_S16LE:
    case AV_CODEC_ID_PCM_S16BE:
        if (p.needsVideo) {
            f.sample_rate = 48000; // what the DV writer takes
            p.channels = 2;
        } else {
            f.sample_rate = std::clamp(f.sample_rate, 8000, 192000);
        }
        f.audio_bitrate = f.sample_rate * p.channels * 16;
        break;
    default: {
        const std::vector<int> rates = encoderRates(audio);
        if (!rates.empty())
            f.sample_rate = nearestInt(rates, f.sample_rate);
        f.audio_bitrate = f.audio_bitrate > 0 ? f.audio_bitrate : 128000;
        p.channels = std::min(p.channels, 8);
        break;
    }
    }
    f.channel_layout = zk_get_default_channel_layout(p.channels);
}

bool snapSound(ZKMovieFileProfile &p, const AVOutputFormat *muxer, const QString &extension)
{
    const AVCodec *audio = audioEncoderFor(p, muxer, extension);
    if (!audio)
        return false;
    ZKFFMovieFileOutputFormat &f = p.format;
    p.audioEncoder = QString::fromUtf8(audio->name);
    if (f.sample_rate <= 0)
        return fail(p, QStringLiteral("Bad sample rate %1").arg(f.sample_rate));
    AVChannelLayout layout{};
    if (av_channel_layout_from_mask(&layout, quint64(f.channel_layout)) < 0 || layout.nb_channels < 1)
        return fail(p, QStringLiteral("Bad channel layout %1").arg(f.channel_layout));
    p.channels = layout.nb_channels;
    av_channel_layout_uninit(&layout);
    snapSoundToCodec(p, audio, extension);
    return true;
}

} // namespace

ZKMovieFileProfile ZKMovieFileProfile::of(const QString &path,
                                          const ZKFFMovieFileOutputFormat &format)
{
    ZKMovieFileProfile p;
    p.format = format;
    const QString extension = QFileInfo(path).suffix().toLower();
    const AVOutputFormat *muxer = containerOf(p, extension);
    if (muxer && (!p.takesVideo || snapVideo(p, muxer, extension)))
        snapSound(p, muxer, extension);
    return p;
}
