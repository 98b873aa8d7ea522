#include "dvd/DVDCustomMenu.h"

#include "dvd/DVDMenuVideo.h"

#include "Frameworks/Korvane/ZKSegmentMovie.h"

QImage DVDCustomMenu::imageAtTime(qint64) const
{
    return menuImage();
}

std::vector<std::shared_ptr<DVDMenuVideo>> DVDCustomMenu::vcmovies()
{
    auto video = std::make_shared<DVDMenuVideo>(shared_from_this());
    video->setAudioMovie(ZKSegmentMovie::movieWithEmptyFFMovie());
    return {video};
}
