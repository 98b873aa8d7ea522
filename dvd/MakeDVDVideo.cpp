#include "dvd/MakeDVDVideo.h"

#include "dvd/DVDConversion.h"
#include "dvd/DVDCustomMenu.h"
#include "dvd/DVDMenuLayerImageGenerator.h"
#include "dvd/DVDMenuVideo.h"
#include "dvd/DVDSoundOnlyMovie.h"
#include "dvd/DVDTitleVideo.h"

#include "export/VETimelineExportMovie.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Trevanel/DVDChapterStarts.h"
#include "Frameworks/Trevanel/DVDMenuMake.h"
#include "Frameworks/Trevanel/DVDToolFiles.h"
#include "Frameworks/Trevanel/Trevanel.h"
#include "Platform/Foundation/HLJob.h"
#include "Platform/Foundation/HLJobStages.h"

#include <QFile>

#include <algorithm>
#include <future>

namespace {

QString fileIn(const QString &folder, const char *pattern, size_t index)
{
    return folder + QString::fromLatin1(pattern).arg(index);
}

} // namespace

ZKFFMovieFileOutputFormat MakeDVDVideo::movieOutputFormat(const Trevanel &dvd)
{
    ZKFFMovieFileOutputFormat format = zk_get_default_movie_file_ouput_format();
    format.video_codec = zk_get_codec_id_by_name(QStringLiteral("mpeg2"));
    format.video_bitrate = qint32(dvd.dvdBitrate() * 1000);
    format.audio_codec = zk_get_codec_id_by_name(QStringLiteral("ac3"));
    format.audio_bitrate = 448000;
    format.sample_rate = 48000;
    format.aspect = dvd.aspectType() == 1 ? 16.0f / 9.0f : 4.0f / 3.0f;
    format.width = qint32(dvd.dvdVideoSize().width());
    format.height = qint32(dvd.dvdVideoSize().height());
    format.frameTime = qint32(dvd.dvdVideoTimebase().first);
    format.framerate = qint32(dvd.dvdVideoTimebase().second);
    return format;
}

MakeDVDVideo::Movies MakeDVDVideo::getMoviesFromTitle(const Movies &vcmovies)
{
    if (!vcmovies.empty())
        return vcmovies;
    auto empty = ZKSegmentMovie::movieWithEmptyFFMovie();
    empty->setStop(zk_default_time_base());
    return {empty};
}

double MakeDVDVideo::lengthFromMovies(const Movies &movies)
{
    double total = 0;
    for (const auto &movie : movies) {
        if (movie)
            total += zk_ff_time_to_double(movie->duration());
    }
    return total;
}

bool MakeDVDVideo::p_waitForConverter(HLJobStages &stages, HLJobState &state,
                                      const std::shared_ptr<DVDConversion> &conversion, double weight)
{
    if (state.isCancelled()) {
        state.fail(QStringLiteral("Cancelled"));
        return false;
    }
    conversion->startConvert();
    if (!stages.follow(*conversion->jobState(), weight))
        return false;
    if (!DVDToolFiles::isNonEmptyFile(conversion->path())) {
        state.fail(QStringLiteral("%1 was not written").arg(conversion->path()));
        return false;
    }
    return true;
}

bool MakeDVDVideo::makeDVDVideo(const std::shared_ptr<Trevanel> &dvd, const QString &folder, HLJobState &state)
{
    const ZKFFMovieFileOutputFormat format = movieOutputFormat(*dvd);
    const auto menus = dvd->noMenu() ? std::vector<std::shared_ptr<DVDMenuPage>>() : dvd->menus();
    const auto titles = dvd->titles();
    std::vector<Movies> titleMovies;
    std::vector<std::vector<qint64>> chapterFrames;
    const auto [frameTime, frameRate] = dvd->dvdVideoTimebase();
    double total = 0;
    for (const auto &menu : menus)
        total += (menu ? menu->duration() : 0.0) * 2.0;
    for (const auto &title : titles) {
        const auto video = std::dynamic_pointer_cast<DVDTitleVideo>(title);
        if (!video) {
            state.fail(QStringLiteral("A disc title has no video"));
            return false;
        }
        titleMovies.push_back(getMoviesFromTitle(video->vcmovies()));
        chapterFrames.push_back(DVDChapterStarts::of(video->chapters(), qint64(frameTime), qint64(frameRate)).frames);
        total += lengthFromMovies(titleMovies.back());
    }
    // Each conversion weighs its share of all the content's length.
    const auto weightOf = [total](double length) { return total > 0 ? std::clamp(length / total, 0.0, 1.0) : 0.0; };
    HLJobStages stages(state, {1.0});
    stages.begin(0);

    // The menus are made while the titles convert: they need nothing of them. The first
    // failure on either side stops the other.
    auto menusMade = std::async(std::launch::async, [&] {
        for (size_t i = 0; i < menus.size(); ++i) {
            const double weight = weightOf((menus[i] ? menus[i]->duration() : 0.0) * 2.0);
            if (!p_makeMenu(stages, state, dvd, i, folder, format, weight)) {
                state.cancel();
                return false;
            }
        }
        return true;
    });
    bool titlesMade = true;
    for (size_t i = 0; i < titles.size() && titlesMade; ++i) {
        const QString path = fileIn(folder, "/title%1.dvd", i);
        const Movies &movies = titleMovies[i];
        const auto slideshow = movies.size() == 1 ? std::dynamic_pointer_cast<VETimelineExportMovie>(movies.front()->ffmovie())
                                                  : nullptr;
        const auto conversion = slideshow ? DVDConversion::ofSlideshow(slideshow, path, format)
                                          : DVDConversion::ofMovies(movies, path, format, chapterFrames[i]);
        titlesMade = p_waitForConverter(stages, state, conversion, weightOf(lengthFromMovies(movies)));
    }
    if (!titlesMade)
        state.cancel();
    return menusMade.get() && titlesMade;
}

bool MakeDVDVideo::p_makeMenu(HLJobStages &stages, HLJobState &state, const std::shared_ptr<Trevanel> &dvd,
                              size_t index, const QString &folder, const ZKFFMovieFileOutputFormat &format,
                              double weight)
{
    const auto menu = std::dynamic_pointer_cast<DVDCustomMenu>(dvd->menus()[index]);
    if (!menu) {
        state.fail(QStringLiteral("A disc menu has no picture"));
        return false;
    }
    if (state.isCancelled()) {
        state.fail(QStringLiteral("Cancelled"));
        return false;
    }
    const QString musicPath = fileIn(folder, "/menu-music-temp-%1.dvd", index);
    const QString videoPath = fileIn(folder, "/menu-temp-%1.dvd", index);
    const QString menuPath = fileIn(folder, "/menu%1.dvd", index);
    auto removeTemporaries = [&] {
        QFile::remove(musicPath);
        QFile::remove(videoPath);
    };

    const auto menuVideo = menu->vcmovies().back();
    Movies musics;
    for (const auto &music : menuVideo->musicVcMovies())
        musics.push_back(DVDSoundOnlyMovie::soundSegmentOf(*music));
    if (!musics.empty()) {
        if (!p_waitForConverter(stages, state, DVDConversion::ofMovies(musics, musicPath, format), 0.0)) {
            removeTemporaries();
            return false;
        }
        menuVideo->setAudioMovie(ZKSegmentMovie::movieWithPath(musicPath));
    }
    const Movies video = getMoviesFromTitle({ZKSegmentMovie::movieWithFFmovie(menuVideo)});
    if (!p_waitForConverter(stages, state, DVDConversion::ofMovies(video, videoPath, format), weight)) {
        removeTemporaries();
        return false;
    }
    DVDMenuMake maker;
    maker.makeMenu(menu, dvd, menuPath, videoPath, folder,
                   std::make_shared<DVDMenuLayerImageGenerator>(menu, dvd->dvdVideoSize()));
    const bool ok = stages.run(0.0, [&](HLJobState &part) {
        if (maker.start(part))
            return true;
        part.fail(part.isCancelled() ? QStringLiteral("Cancelled") : maker.errorString());
        return false;
    });
    removeTemporaries();
    return ok;
}
