#include "dvd/DVDTitleVideo.h"

#include "dvd/DVDChapterVideo.h"
#include "dvd/ZKSegmentMovie+DVDTitleVideo.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <cmath>

std::vector<std::shared_ptr<DVDChapterVideoProtocol>> DVDTitleVideo::chapters() const
{
    const auto chapters = m_chapters.get();
    return {chapters.begin(), chapters.end()};
}

double DVDTitleVideo::duration() const
{
    double total = 0.0;
    for (const auto &chapter : m_chapters.get()) {
        if (chapter)
            total += chapter->duration();
    }
    return total;
}

DVDTitleVideo::Movies DVDTitleVideo::vcmovies() const
{
    return vcmoviesForChapters(m_chapters.get());
}

bool DVDTitleVideo::canJoinVideo(const ZKSegmentMovie &movie, const ZKSegmentMovie *old)
{
    const auto file = std::dynamic_pointer_cast<ZKFFMovie>(movie.ffmovie());
    if (!file || !old)
        return false;
    const auto oldFile = std::dynamic_pointer_cast<ZKFFMovie>(old->ffmovie());
    if (!oldFile)
        return false;
    const auto medias = file->medias();
    const auto oldMedias = oldFile->medias();
    if (medias.isEmpty() || oldMedias.isEmpty() || medias.last().source.path != oldMedias.last().source.path)
        return false;
    // A fade or ramp where the two meet would move to the joined segment's ends.
    if (movie.fadeIn() != 0 || movie.fadeOut() != 0 || old->fadeOut() != 0)
        return false;
    if (!movie.audioFades().isEmpty() || !old->audioFades().isEmpty())
        return false;
    if (std::abs(file->volume() - oldFile->volume()) > 0.001)
        return false;
    if (std::abs(double(movie.start() - old->stop())) > 0.01 * double(zk_default_time_base()))
        return false;
    const ZKMovieEffector e = file->effector();
    const ZKMovieEffector f = oldFile->effector();
    return e.hflip == f.hflip && e.vflip == f.vflip && std::abs(e.rotate - f.rotate) <= 0.1f
           && std::abs(e.saturation - f.saturation) <= 0.001f && std::abs(e.brightness - f.brightness) <= 0.001f
           && std::abs(e.contrast - f.contrast) <= 0.001f && std::abs(e.hue - f.hue) <= 0.001f
           && e.effectName == f.effectName && e.displaySize == f.displaySize && e.cropRectString == f.cropRectString
           && e.outputVideoSizeString == f.outputVideoSizeString;
}

DVDTitleVideo::Movies DVDTitleVideo::vcmoviesForChapters(const std::vector<std::shared_ptr<DVDChapterVideo>> &chapters)
{
    Movies result;
    std::shared_ptr<ZKSegmentMovie> joined;
    for (const auto &chapter : chapters) {
        if (!chapter)
            continue;
        for (const auto &movie : chapter->movies()) {
            if (!movie)
                continue;
            if (canJoinVideo(*movie, joined.get())) {
                // Never backwards: a segment that ends inside the joined one adds nothing.
                joined->setStop(std::max(joined->stop(), movie->stop()));
                continue;
            }
            joined = getNewSegmentMovie(*movie);
            if (joined)
                result.push_back(joined);
        }
    }
    return result;
}
