#pragma once

#include "Frameworks/Korvane/MovieSource.h"
#include "Frameworks/Korvane/ZKMovieEffector.h"
#include "Frameworks/Korvane/ZKMovieMedia.h"

#include <QList>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

class ZKAudioReader;
class ZKAudioVoice;
class ZKSoundFeed;
class ZKVideoReader;

// A movie or sound file. Each use has a demuxer and decoder of its own, so one movie can at
// once give frames (decodeImageAtTime, usually on the render thread), play its sound (play,
// on the sound output) and give samples (readSample, for an export):
// - the play position (currentTime, setCurrentTime) is the sound's: while playing it is where
//   the playing voice is, and it moves with the output's clock;
// - frames are decoded where they are asked for and never move the play position;
// - readSample reads from the play position set last and advances it.
// Thread-safe.
class ZKFFMovie : public MovieSource, public std::enable_shared_from_this<ZKFFMovie>
{
public:
    ZKFFMovie(); // an empty movie: no streams, no length; plays silence
    ~ZKFFMovie() override;
    // nullptr when the file is no movie or sound file that can be read.
    static std::shared_ptr<ZKFFMovie> open(const QString &path);

    QString path() const { return m_path; }
    bool hasVideo() const override { return m_hasVideo; }
    bool hasAudio() const override { return m_hasAudio; }
    qint64 duration() const override { return m_duration; }
    // What the file's header promises; longer than duration when the file is cut short.
    qint64 declaredDuration() const { return m_declaredDuration; }
    // The picture size as shown: sample aspect ratio and rotation applied.
    QSize videoSize() const { return m_videoSize; }

    qint64 currentTime() const;
    void setCurrentTime(qint64 time) override;
    void play();
    // Plays from the mix's frame `frame` (ZKAudioEngine::renderedFrames) on, its sound read
    // ahead in the meantime; a later frame than the mix has reached makes a sample-exact join.
    // Called again while it waits, it moves the frame.
    void playFromFrame(qint64 frame);
    // Frames of sound read ahead and waiting for the mix; 0 when not playing.
    int bufferedFrames() const;
    // The sound ends just before the mix's frame `frame`; the movie still counts as playing
    // until paused.
    void stopAtFrame(qint64 frame);
    void pause();
    bool isPlay() const;
    // From the next play on, the sound repeats [start, stop) (ticks) sample-exactly and never
    // plays past stop; the play position stays inside. stop <= start plays the whole file.
    void setPlayLoop(qint64 start, qint64 stop);
    // The sound's gain is playVolume × volume; gains above 1 amplify.
    void setPlayVolume(double volume);
    double playVolume() const;
    void setVolume(double volume);
    double volume() const override;

    // The size frames are decoded to; empty (the default) means videoSize.
    void setFrameSize(QSize size);
    QSize frameSize() const;
    void decodeImageAtTime(qint64 time, const FrameAction &action, bool waitUntilDone) override;
    // The next frame decodes from the keyframe at or before time (after a jump by the user).
    void seekFrames(qint64 time);
    // How often the frame decoder has moved its demuxer.
    int frameSeekCount() const;

    bool readSample(float *buffer, int nbStream, int frames) override;
    void flushOperation() override;

    QList<ZKMovieMedia> medias() const;
    ZKMovieEffector effector() const;

private:
    double gainLocked() const { return m_playVolume * m_volume; }
    // A position of the playing voice, which counts on past the loop's end, put into the loop.
    qint64 loopedLocked(qint64 position) const;
    // startFrame: the mix's frame the sound comes in at, or -1 for at once.
    void p_play(qint64 startFrame);
    void decodeNow(qint64 time, const FrameAction &action);

    QString m_path;
    bool m_hasVideo = false;
    bool m_hasAudio = false;
    qint64 m_duration = 0;
    qint64 m_declaredDuration = 0;
    QSize m_videoSize;

    mutable std::mutex m_stateMutex; // position, gains, playing voice
    qint64 m_position = 0;
    double m_playVolume = 1.0;
    double m_volume = 1.0;
    std::shared_ptr<ZKSoundFeed> m_playFeed;
    qint64 m_loopStart = 0;
    qint64 m_loopStop = 0;
    std::shared_ptr<ZKAudioVoice> m_voice;

    mutable std::mutex m_frameMutex; // frame decoder
    std::unique_ptr<ZKVideoReader> m_videoReader;
    bool m_videoFailed = false;
    QSize m_frameSize;
    bool m_frameSeekPending = false;
    qint64 m_frameSeekTime = 0;

    std::mutex m_sampleMutex; // sample reader
    std::unique_ptr<ZKAudioReader> m_audioReader;
    bool m_audioFailed = false;
    std::atomic<bool> m_sampleSeekPending{false};
    std::atomic<qint64> m_sampleSeekTime{0};
};
