#include "dvd/DVDMenuVideo.h"

#include "dvd/DVDCustomMenu.h"

#include "export/VETimelineExportFrameImage.h"

#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <algorithm>
#include <cmath>

DVDMenuVideo::DVDMenuVideo(std::shared_ptr<DVDCustomMenu> menu)
    : m_menu(std::move(menu))
{
}

qint64 DVDMenuVideo::duration() const
{
    return qint64(std::trunc(m_menu->duration() * double(zk_default_time_base())));
}

qint64 DVDMenuVideo::currentVideoMediaMaxTime() const
{
    return zk_default_time_base() * 36000;
}

void DVDMenuVideo::setCurrentTime(qint64 time)
{
    const auto audio = audioMovie();
    if (audio && audio->ffmovie())
        audio->ffmovie()->setCurrentTime(time);
}

void DVDMenuVideo::flushOperation()
{
    const auto audio = audioMovie();
    if (audio && audio->ffmovie())
        audio->ffmovie()->flushOperation();
}

void DVDMenuVideo::decodeImageAtTime(qint64 time, const FrameAction &action, bool)
{
    const QSize size = m_menu->menuSize().toSize();
    action(std::make_shared<VETimelineExportFrameImage>(size, m_menu->imageAtTime(time), time));
}

bool DVDMenuVideo::readSample(float *buffer, int, int frames)
{
    const auto audio = audioMovie();
    if (audio && audio->ffmovie() && audio->ffmovie()->hasAudio() && audio->ffmovie()->readSample(buffer, 0, frames))
        return true;
    std::fill(buffer, buffer + 2 * qsizetype(frames), 0.0f);
    return true;
}

std::vector<std::shared_ptr<ZKSegmentMovie>> DVDMenuVideo::musicVcMovies() const
{
    std::vector<std::shared_ptr<ZKSegmentMovie>> result;
    const auto music = m_menu->music();
    if (!music)
        return result;
    const qint64 total = duration();
    const qint64 md = music->duration();
    const qint64 half = qint64(0.5 * double(zk_default_time_base()));
    qint64 covered = 0;
    while (total - covered > half && md > half) {
        auto copy = ZKSegmentMovie::movieWithFFmovie(music->ffmovie());
        copy->setStop(music->stop());
        copy->setStart(music->start());
        copy->setFadeIn(music->fadeIn());
        copy->setFadeOut(music->fadeOut());
        covered += md;
        if (covered > total)
            copy->setStop(copy->stop() - (covered - total));
        result.push_back(copy);
    }
    return result;
}
