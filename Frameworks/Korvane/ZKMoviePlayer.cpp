#include "Frameworks/Korvane/ZKMoviePlayer.h"

#include "Frameworks/Korvane/MovieSource.h"
#include "Frameworks/Korvane/ZKAudioEngine.h"
#include "Frameworks/Korvane/ZKAudioVoice.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKSoundFeed.h"

ZKMoviePlayer::ZKMoviePlayer(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(33);
    connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
}

ZKMoviePlayer::~ZKMoviePlayer()
{
    pause();
}

void ZKMoviePlayer::setSegmentMovie(std::shared_ptr<ZKSegmentMovie> segment)
{
    pause();
    m_segment = std::move(segment);
    m_position = m_segment ? m_segment->start() : 0;
}

qint64 ZKMoviePlayer::duration() const
{
    return m_segment ? m_segment->ffmovie()->duration() : 0;
}

qint64 ZKMoviePlayer::currentTime() const
{
    return m_voice ? m_voice->position() : m_position;
}

void ZKMoviePlayer::setCurrentTime(qint64 time)
{
    m_position = std::max<qint64>(time, 0);
    if (m_voice) {
        m_voice->seek(m_position);
        m_voice->setGain(gainAt(m_position));
    }
}

void ZKMoviePlayer::play()
{
    if (m_voice || !m_segment)
        return;
    if (m_applyEffect && (m_position < m_segment->start() || m_position >= m_segment->stop()))
        m_position = m_segment->start();
    const std::shared_ptr<MovieSource> source = m_segment->ffmovie();
    std::shared_ptr<ZKSoundFeed> feed;
    if (auto movie = std::dynamic_pointer_cast<ZKFFMovie>(source))
        feed = movie->hasAudio() ? ZKSoundFeed::ofFile(movie->path()) : ZKSoundFeed::silence();
    else
        feed = ZKSoundFeed::ofSource(source);
    m_voice = std::make_shared<ZKAudioVoice>(feed, m_position, gainAt(m_position));
    ZKAudioEngine::instance().addVoice(m_voice);
    m_timer.start();
}

void ZKMoviePlayer::pause()
{
    m_timer.stop();
    if (!m_voice)
        return;
    m_position = m_voice->position();
    ZKAudioEngine::instance().removeVoice(m_voice);
    m_voice.reset();
}

double ZKMoviePlayer::gainAt(qint64 time) const
{
    if (!m_segment)
        return 0.0;
    if (m_applyEffect)
        return m_segment->audioVolumeAtTime(time);
    const auto movie = std::dynamic_pointer_cast<ZKFFMovie>(m_segment->ffmovie());
    return movie ? movie->volume() : 1.0;
}

void ZKMoviePlayer::tick()
{
    if (!m_voice)
        return;
    const qint64 now = m_voice->position();
    if (m_applyEffect && now >= m_segment->stop()) {
        pause();
        m_position = m_segment->stop();
    } else {
        m_voice->setGain(gainAt(now));
    }
    if (m_delegate)
        m_delegate->imageDidFlushInPlayer(this);
}
