#include "dvd/DVDCustomMenu.h"
#include "dvd/DVDMenuVideo.h"
#include "dvd/DVDSoundOnlyMovie.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

TEST(DVDMenuVideo, MusicFillsTheMenuLength)
{
    TestFolder folder;
    const QString tone = folder.file(QStringLiteral("tone.wav"));
    ASSERT_TRUE(MediaFixtures::writeTone(tone, 13.0));
    struct Case
    {
        const char *name;
        double menuSeconds;
        double musicSeconds; // of the tone, from 0.5 s on
        std::vector<double> lengths;
    };
    const Case cases[] = {
        {"30 s menu, 12 s music", 30.0, 12.0, {12.0, 12.0, 6.0}},
        {"menu of 0.4 s", 0.4, 12.0, {}},
        {"music of 0.5 s", 30.0, 0.5, {}},
        {"no music", 30.0, 0.0, {}},
    };
    const qint64 tb = zk_default_time_base();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto menu = std::make_shared<DVDCustomMenu>();
        menu->setDuration(c.menuSeconds);
        if (c.musicSeconds > 0) {
            auto music = ZKSegmentMovie::movieWithPath(tone);
            music->setStop(qint64((0.5 + c.musicSeconds) * tb));
            music->setStart(tb / 2);
            music->setFadeIn(tb / 10);
            menu->setMusic(music);
        }
        const auto segments = menu->vcmovies().back()->musicVcMovies();
        ASSERT_EQ(segments.size(), c.lengths.size());
        for (size_t i = 0; i < segments.size(); ++i) {
            EXPECT_NEAR(zk_ff_time_to_double(segments[i]->duration()), c.lengths[i], 1e-6);
            EXPECT_EQ(segments[i]->start(), tb / 2);
            EXPECT_EQ(segments[i]->fadeIn(), tb / 10);
            EXPECT_EQ(segments[i]->ffmovie(), menu->music()->ffmovie());
        }
    }
}

TEST(DVDMenuVideo, ShowsTheMenuPictureWithSilenceWithoutMusic)
{
    auto menu = std::make_shared<DVDCustomMenu>();
    menu->setDuration(2.5);
    menu->setMenuSize(QSizeF(72, 54));
    QImage picture(72, 54, QImage::Format_ARGB32_Premultiplied);
    picture.fill(QColor(200, 40, 10));
    menu->setMenuImage(picture);
    const auto video = menu->vcmovies().back();
    EXPECT_EQ(video->duration(), qint64(2.5 * zk_default_time_base()));
    EXPECT_TRUE(video->hasAudio());
    for (const qint64 time : {qint64(0), zk_default_time_base() * 2}) {
        QImage frame;
        video->decodeImageAtTime(time, [&](const std::shared_ptr<ZKMovieImage> &image) { frame = image->currentImage(); }, true);
        ASSERT_EQ(frame.size(), QSize(72, 54));
        EXPECT_EQ(frame.pixelColor(36, 27), QColor(200, 40, 10));
    }
    std::vector<float> sound(2 * 512, 0.7f);
    EXPECT_TRUE(video->readSample(sound.data(), 1, 512));
    EXPECT_EQ(sound, std::vector<float>(2 * 512, 0.0f));
}

// The disc's menu music is written from a sound-only copy of the dialog's segment: the copy
// keeps the music's volume as well as its stretch and fades.
TEST(DVDMenuVideo, TheSoundOnlyCopyKeepsTheMusicsVolume)
{
    TestFolder folder;
    const QString tone = folder.file(QStringLiteral("tone.wav"));
    ASSERT_TRUE(MediaFixtures::writeTone(tone, 3.0));
    const qint64 tb = zk_default_time_base();
    auto music = ZKSegmentMovie::movieWithPath(tone);
    ASSERT_TRUE(music);
    music->setStop(2 * tb);
    music->setStart(tb / 2);
    music->setFadeOut(tb);
    std::dynamic_pointer_cast<ZKFFMovie>(music->ffmovie())->setVolume(0.25);
    const auto copy = DVDSoundOnlyMovie::soundSegmentOf(*music);
    for (const double seconds : {0.6, 1.0, 1.5, 1.9})
        EXPECT_FLOAT_EQ(copy->audioVolumeAtTime(qint64(seconds * tb)), music->audioVolumeAtTime(qint64(seconds * tb)))
            << seconds;
    EXPECT_FLOAT_EQ(copy->audioVolumeAtTime(tb), 0.25f);
}
