#include "dvd/DVDSoundOnlyMovie.h"

#include "Frameworks/Korvane/ZKSegmentMovie.h"

std::shared_ptr<ZKSegmentMovie> DVDSoundOnlyMovie::soundSegmentOf(const ZKSegmentMovie &segment)
{
    auto sound = ZKSegmentMovie::movieWithFFmovie(std::make_shared<DVDSoundOnlyMovie>(segment.ffmovie()));
    sound->setStop(segment.stop());
    sound->setStart(segment.start());
    sound->setFadeIn(segment.fadeIn());
    sound->setFadeOut(segment.fadeOut());
    sound->setAudioFades(segment.audioFades());
    return sound;
}
