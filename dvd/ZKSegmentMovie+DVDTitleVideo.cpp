#include "dvd/ZKSegmentMovie+DVDTitleVideo.h"

#include "Frameworks/Korvane/ZKSegmentMovie.h"

std::shared_ptr<ZKSegmentMovie> getNewSegmentMovie(const ZKSegmentMovie &movie)
{
    auto copy = ZKSegmentMovie::movieWithFFmovie(movie.ffmovie());
    if (!copy)
        return nullptr;
    // Stop first: start is kept at or before stop.
    copy->setStop(movie.stop());
    copy->setStart(movie.start());
    copy->setFadeIn(movie.fadeIn());
    copy->setFadeOut(movie.fadeOut());
    copy->setAudioFades(movie.audioFades());
    return copy;
}
