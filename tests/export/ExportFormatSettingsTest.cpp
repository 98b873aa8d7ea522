#include "export/ExportFormatSettings.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/codec_id.h>
}

using namespace ExportFormatSettings;

namespace {

struct ContainerCodecs
{
    const char *container;
    QStringList video;
    QStringList audio;
};

TEST(ExportFormatSettings, EachContainerOffersItsCodecsInTableOrder)
{
    const ContainerCodecs cases[] = {
        {"mp4", {"h264", "mpeg4"}, {"aac"}},
        {"mov", {"h264", "mpeg4"}, {"aac"}},
        {"m4v", {"h264", "mpeg4"}, {"aac"}},
        {"mpg", {"mpeg2", "mpeg1"}, {"mpeg audio"}},
        {"ts", {"mpeg2"}, {"mpegaudio"}},
        {"wmv", {"wmv2"}, {"wma2", "wma1"}},
        {"mkv", {"h264", "mp4"}, {"mp3", "ac3", "aac"}},
        {"flv", {"flv", "h264"}, {"mp3"}},
        {"asf", {"msmpegv3"}, {"wma2", "wma1"}},
        {"dv", {"dv"}, {"pcm audio"}},
    };
    ASSERT_EQ(formatCodecSettings().size(), 32);
    EXPECT_EQ(formatCodecSettings().first(), "mp4:h264");
    EXPECT_EQ(formatCodecSettings().at(17), "avi:mp4");
    EXPECT_EQ(formatCodecSettings().last(), "dv:pcm audio");
    ASSERT_EQ(allowVideoFormats(), (QStringList{"mp4", "mov", "m4v", "mpg", "dv", "wmv", "ts", "asf", "mkv", "flv"}));
    for (const auto &c : cases) {
        EXPECT_EQ(videoCodecsOf(QString::fromLatin1(c.container)), c.video) << c.container;
        EXPECT_EQ(audioCodecsOf(QString::fromLatin1(c.container)), c.audio) << c.container;
        // Every name offered is one the converter knows.
        for (const QString &codec : c.video + c.audio)
            EXPECT_NE(zk_get_codec_id_by_name(codec), AV_CODEC_ID_NONE) << codec.toStdString();
    }
}

TEST(ExportFormatSettings, ContainerTitlesOutsideTheOfferBecomeMp4)
{
    const std::pair<const char *, const char *> cases[] = {
        {"MP4", "mp4"}, {"MKV", "mkv"}, {"DV", "dv"}, {"AVI", "mp4"}, {"", "mp4"}, {"webm", "mp4"}};
    for (const auto &[title, name] : cases)
        EXPECT_EQ(formatName(QString::fromLatin1(title)), QString::fromLatin1(name)) << title;
}

TEST(ExportFormatSettings, TypedBitratesOutsideTheSliderAreRefused)
{
    const std::tuple<const char *, double> cases[] = {
        {"5000", 5000000}, {"400", 400000}, {"20000", 20000000}, {"50", 7000000},
        {"20001", 7000000}, {"-800", 7000000}, {"0", 7000000}, {"abc", 7000000},
        {"", 7000000}, {"inf", 7000000}, {"nan", 7000000}, {" 1500.5 ", 1500500}};
    for (const auto &[text, expected] : cases)
        EXPECT_DOUBLE_EQ(videoBitrateFromText(QString::fromLatin1(text), 7000000), expected) << text;
}

TEST(ExportFormatSettings, TypedFrameRatesAreClampedAndShownAsUsed)
{
    const std::tuple<const char *, double> cases[] = {
        {"12", 15}, {"75", 60}, {"25", 25}, {"23.97", 23.97}, {"-3", 15}, {"x", 30}, {"1e9", 60}, {"nan", 30}};
    for (const auto &[text, expected] : cases)
        EXPECT_DOUBLE_EQ(framerateFromText(QString::fromLatin1(text), 30), expected) << text;
    EXPECT_EQ(framerateText(15), "15");
    EXPECT_EQ(framerateText(24000.0 / 1001), "23.97");
    EXPECT_EQ(framerateText(30000.0 / 1001), "29.97");
    EXPECT_EQ(framerateText(27.5), "27.50");
}

TEST(ExportFormatSettings, SizeEstimateAndLengthTexts)
{
    EXPECT_EQ(estimatedBytes(60, 10000000), 75000000);
    EXPECT_EQ(spaceDisplayStringWithSize(75000000), "75.0 MB");
    EXPECT_EQ(spaceDisplayStringWithSize(1500000000), "1.5 GB");
    EXPECT_EQ(spaceDisplayStringWithSize(1000000000), "1000.0 MB");
    EXPECT_EQ(spaceDisplayStringWithSize(999999), "0.0 MB");
    EXPECT_EQ(estimatedBytes(-1, 10000000), 0);
    EXPECT_EQ(durationText(3725.9), "01:02:05");
    EXPECT_EQ(durationText(59.99), "00:00:59");
    EXPECT_EQ(durationText(0), "00:00:00");
    EXPECT_EQ(resolutionText(QSizeF(1280.7, 960.2)), "1280*960");
}

TEST(ExportFormatSettings, OutputFormatFollowsTheChoice)
{
    struct Case
    {
        double fps;
        int framerate;
        int frameTime;
    };
    const ZKFFMovieFileOutputFormat defaults = zk_get_default_movie_file_ouput_format();
    const Case cases[] = {{23.97, 24000, 1001}, {29.97, 30000, 1001}, {25, 25, defaults.frameTime},
                          {9, 24, defaults.frameTime}, {61, 24, defaults.frameTime}, {59.9, 59, defaults.frameTime}};
    for (const Case &c : cases) {
        Choice choice;
        choice.framerate = c.fps;
        const ZKFFMovieFileOutputFormat f = exportOutputVideoFormat(choice);
        EXPECT_EQ(f.framerate, c.framerate) << c.fps;
        EXPECT_EQ(f.frameTime, c.frameTime) << c.fps;
    }
    Choice choice;
    choice.container = QStringLiteral("mkv");
    choice.videoCodec = QStringLiteral("h264");
    choice.audioCodec = QStringLiteral("ac3");
    choice.videoBitrate = 2500000.7;
    choice.videoSize = QSizeF(640.9, 480.2);
    choice.sampleRate = 48000;
    choice.channels = 1;
    choice.audioKbits = 192;
    const ZKFFMovieFileOutputFormat f = exportOutputVideoFormat(choice);
    EXPECT_EQ(f.video_codec, AV_CODEC_ID_H264);
    EXPECT_EQ(f.audio_codec, AV_CODEC_ID_AC3);
    EXPECT_EQ(f.video_bitrate, 2500000);
    EXPECT_EQ(f.width, 640);
    EXPECT_EQ(f.height, 480);
    EXPECT_EQ(f.sample_rate, 48000);
    EXPECT_EQ(f.audio_bitrate, 192000);
    EXPECT_EQ(f.channel_layout, zk_get_default_channel_layout(1));
    EXPECT_EQ(f.aspect, defaults.aspect);
}

TEST(ExportFormatSettings, UsedFormatIsWhatTheContainerTakes)
{
    Choice dv;
    dv.container = QStringLiteral("dv");
    dv.videoCodec = QStringLiteral("dv");
    dv.audioCodec = QStringLiteral("pcm audio");
    dv.framerate = 25;
    dv.videoSize = QSizeF(1280, 960);
    const ZKFFMovieFileOutputFormat f = usedOutputFormat(dv);
    EXPECT_EQ(f.width, 720);
    EXPECT_EQ(f.height, 576);
    EXPECT_EQ(f.video_bitrate, 25000000);

    Choice mpeg1;
    mpeg1.container = QStringLiteral("mpg");
    mpeg1.videoCodec = QStringLiteral("mpeg1");
    mpeg1.audioCodec = QStringLiteral("mpeg audio");
    mpeg1.framerate = 27;
    mpeg1.videoSize = QSizeF(641, 481);
    const ZKFFMovieFileOutputFormat g = usedOutputFormat(mpeg1);
    EXPECT_EQ(g.width, 640);
    EXPECT_EQ(g.height, 480);
    EXPECT_EQ(double(g.framerate) / g.frameTime, 25.0);
}

} // namespace
