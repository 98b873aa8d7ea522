#include "SourceHL/Editors/HLMovieTrimPlayer.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Editors/HLTrimlineGeometry.h"

HLMovieTrimPlayer::HLMovieTrimPlayer(std::shared_ptr<ZKFFMovie> movie)
    : m_movie(std::move(movie))
{
}

bool HLMovieTrimPlayer::isTrimPlaying() const
{
    return m_movie && m_movie->isPlay();
}

float HLMovieTrimPlayer::trimPlayRatio() const
{
    if (!m_movie)
        return 0;
    return HLTrimlineGeometry::playRatio(zk_ff_time_to_double(m_movie->currentTime()),
                                         zk_ff_time_to_double(m_movie->duration()));
}

void HLMovieTrimPlayer::updateTrimPlayRatio(float ratio)
{
    if (m_movie)
        m_movie->setCurrentTime(HLTrimlineGeometry::ticksOfRatio(ratio, m_movie->duration()));
}
