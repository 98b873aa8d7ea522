#include "Frameworks/Korvane/ZKFFMovie.h"

#include "Frameworks/Korvane/ZKAudioEngine.h"
#include "Frameworks/Korvane/ZKAudioReader.h"
#include "Frameworks/Korvane/ZKAudioVoice.h"
#include "Frameworks/Korvane/ZKMediaFile.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKSoundFeed.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Korvane/ZKVideoReader.h"
#include "Platform/Foundation/HLDispatch.h"

#include <cmath>
#include <cstring>

namespace {

double sanitisedVolume(double volume)
{
    return std::isfinite(volume) && volume > 0 ? volume : 0.0;
}

} // namespace

ZKFFMovie::ZKFFMovie() = default;

ZKFFMovie::~ZKFFMovie()
{
    pause();
}

std::shared_ptr<ZKFFMovie> ZKFFMovie::open(const QString &path)
{
    const std::unique_ptr<ZKMediaFile> file = ZKMediaFile::open(path);
    if (!file)
        return nullptr;
    auto movie = std::make_shared<ZKFFMovie>();
    movie->m_path = path;
    movie->m_hasVideo = file->videoStream() != nullptr;
    movie->m_hasAudio = file->audioStream() != nullptr;
    movie->m_duration = file->duration();
    movie->m_declaredDuration = file->declaredDuration();
    movie->m_videoSize = file->displaySize();
    return movie;
}

qint64 ZKFFMovie::currentTime() const
{
    std::lock_guard lock(m_stateMutex);
    return m_voice ? loopedLocked(m_voice->position()) : m_position;
}

qint64 ZKFFMovie::loopedLocked(qint64 position) const
{
    if (m_loopStop <= m_loopStart || position < m_loopStop)
        return position;
    return m_loopStart + (position - m_loopStart) % (m_loopStop - m_loopStart);
}

void ZKFFMovie::setPlayLoop(qint64 start, qint64 stop)
{
    std::lock_guard lock(m_stateMutex);
    m_loopStart = std::max<qint64>(start, 0);
    m_loopStop = stop;
    m_playFeed.reset(); // made anew at the next play
}

void ZKFFMovie::setCurrentTime(qint64 time)
{
    time = std::max<qint64>(time, 0);
    {
        std::lock_guard lock(m_stateMutex);
        m_position = time;
        if (m_voice)
            m_voice->seek(time);
    }
    m_sampleSeekTime = time;
    m_sampleSeekPending = true;
}

void ZKFFMovie::play()
{
    p_play(-1);
}

void ZKFFMovie::playFromFrame(qint64 frame)
{
    p_play(std::max<qint64>(frame, 0));
}

void ZKFFMovie::p_play(qint64 startFrame)
{
    std::lock_guard lock(m_stateMutex);
    if (m_voice) {
        if (startFrame >= 0)
            m_voice->setStartFrame(startFrame);
        return;
    }
    if (!m_playFeed) {
        m_playFeed = m_hasAudio ? ZKSoundFeed::ofFile(m_path) : ZKSoundFeed::silence();
        if (m_loopStop > m_loopStart)
            m_playFeed = ZKSoundFeed::looping(m_playFeed, m_loopStart, m_loopStop);
    }
    m_voice = std::make_shared<ZKAudioVoice>(m_playFeed, m_position, gainLocked());
    if (startFrame >= 0)
        m_voice->setStartFrame(startFrame); // before the mix sees the voice
    ZKAudioEngine::instance().addVoice(m_voice);
}

int ZKFFMovie::bufferedFrames() const
{
    std::lock_guard lock(m_stateMutex);
    return m_voice ? m_voice->bufferedFrames() : 0;
}

void ZKFFMovie::stopAtFrame(qint64 frame)
{
    std::lock_guard lock(m_stateMutex);
    if (m_voice)
        m_voice->setStopFrame(frame);
}

void ZKFFMovie::pause()
{
    std::shared_ptr<ZKAudioVoice> voice;
    {
        std::lock_guard lock(m_stateMutex);
        if (!m_voice)
            return;
        m_position = loopedLocked(m_voice->position());
        voice = std::move(m_voice);
    }
    ZKAudioEngine::instance().removeVoice(voice);
}

bool ZKFFMovie::isPlay() const
{
    std::lock_guard lock(m_stateMutex);
    return m_voice != nullptr;
}

void ZKFFMovie::setPlayVolume(double volume)
{
    std::lock_guard lock(m_stateMutex);
    m_playVolume = sanitisedVolume(volume);
    if (m_voice)
        m_voice->setGain(gainLocked());
}

double ZKFFMovie::playVolume() const
{
    std::lock_guard lock(m_stateMutex);
    return m_playVolume;
}

void ZKFFMovie::setVolume(double volume)
{
    std::lock_guard lock(m_stateMutex);
    m_volume = sanitisedVolume(volume);
    if (m_voice)
        m_voice->setGain(gainLocked());
}

double ZKFFMovie::volume() const
{
    std::lock_guard lock(m_stateMutex);
    return m_volume;
}

void ZKFFMovie::setFrameSize(QSize size)
{
    std::lock_guard lock(m_frameMutex);
    m_frameSize = size.isValid() && !size.isEmpty() ? size : QSize();
}

QSize ZKFFMovie::frameSize() const
{
    std::lock_guard lock(m_frameMutex);
    return m_frameSize;
}

void ZKFFMovie::seekFrames(qint64 time)
{
    std::lock_guard lock(m_frameMutex);
    m_frameSeekPending = true;
    m_frameSeekTime = time;
}

int ZKFFMovie::frameSeekCount() const
{
    std::lock_guard lock(m_frameMutex);
    return m_videoReader ? m_videoReader->seekCount() : 0;
}

void ZKFFMovie::decodeImageAtTime(qint64 time, const FrameAction &action, bool waitUntilDone)
{
    if (!m_hasVideo || !action)
        return;
    const std::shared_ptr<ZKFFMovie> self = weak_from_this().lock();
    if (waitUntilDone || !self) {
        decodeNow(time, action);
        return;
    }
    HLDispatch::inBackground([self, time, action] { self->decodeNow(time, action); });
}

void ZKFFMovie::decodeNow(qint64 time, const FrameAction &action)
{
    QImage image;
    qint64 frameTime = 0;
    {
        std::lock_guard lock(m_frameMutex);
        if (!m_videoReader && !m_videoFailed) {
            m_videoReader = ZKVideoReader::open(m_path);
            m_videoFailed = !m_videoReader;
        }
        if (!m_videoReader)
            return;
        if (m_frameSeekPending) {
            m_frameSeekPending = false;
            m_videoReader->reposition(m_frameSeekTime);
        }
        image = m_videoReader->frameAt(std::max<qint64>(time, 0), m_frameSize, &frameTime);
    }
    if (!image.isNull())
        action(std::make_shared<ZKMovieImage>(image, frameTime));
}

bool ZKFFMovie::readSample(float *buffer, int /*nbStream*/, int frames)
{
    if (!buffer || frames <= 0)
        return false;
    std::lock_guard lock(m_sampleMutex);
    if (!m_hasAudio) {
        std::memset(buffer, 0, size_t(frames) * 2 * sizeof(float));
        return false;
    }
    if (!m_audioReader && !m_audioFailed) {
        m_audioReader = ZKAudioReader::open(m_path);
        m_audioFailed = !m_audioReader;
        if (m_audioReader && !m_sampleSeekPending) {
            m_sampleSeekTime = currentTime();
            m_sampleSeekPending = m_sampleSeekTime != 0;
        }
    }
    if (!m_audioReader) {
        std::memset(buffer, 0, size_t(frames) * 2 * sizeof(float));
        return false;
    }
    if (m_sampleSeekPending.exchange(false))
        m_audioReader->seek(m_sampleSeekTime);
    m_audioReader->read(buffer, frames);
    std::lock_guard state(m_stateMutex);
    if (!m_voice)
        m_position = m_audioReader->position();
    return true;
}

void ZKFFMovie::flushOperation()
{
    // Frames need nothing: their decoder repositions itself on a jump.
    std::lock_guard lock(m_sampleMutex);
    if (m_audioReader && !m_sampleSeekPending) {
        m_sampleSeekTime = m_audioReader->position();
        m_sampleSeekPending = true;
    }
}

QList<ZKMovieMedia> ZKFFMovie::medias() const
{
    if (m_path.isEmpty())
        return {};
    ZKMovieMedia media;
    media.source.path = m_path;
    return {media};
}

ZKMovieEffector ZKFFMovie::effector() const
{
    ZKMovieEffector effector;
    effector.displaySize = m_videoSize;
    return effector;
}
