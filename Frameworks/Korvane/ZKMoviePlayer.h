#pragma once

#include <QObject>
#include <QTimer>
#include <QtGlobal>

#include <memory>

class ZKAudioVoice;
class ZKMoviePlayer;
class ZKSegmentMovie;

class ZKMoviePlayerDelegate
{
public:
    virtual ~ZKMoviePlayerDelegate() = default;
    // Called on the player's thread as playback advances (about 30 times a second).
    virtual void imageDidFlushInPlayer(ZKMoviePlayer *player) = 0;
};

// Plays the sound of a segment through a voice of its own (its own decoder), from any
// position of the source; with effects applied, the segment's fades and volume shape it
// and playback stops at the segment's stop. Times are ticks of the source.
// Lives on a thread with an event loop (the main thread).
class ZKMoviePlayer : public QObject
{
public:
    explicit ZKMoviePlayer(QObject *parent = nullptr);
    ~ZKMoviePlayer() override;

    void setDelegate(ZKMoviePlayerDelegate *delegate) { m_delegate = delegate; }
    void setIsApplyEffect(bool apply) { m_applyEffect = apply; }

    // A new segment pauses playback and starts at the segment's start; nullptr lets go.
    void setSegmentMovie(std::shared_ptr<ZKSegmentMovie> segment);
    std::shared_ptr<ZKSegmentMovie> segmentMovie() const { return m_segment; }

    qint64 duration() const; // of the whole source
    qint64 currentTime() const;
    void setCurrentTime(qint64 time);
    void play();
    void pause();
    bool isPlay() const { return m_voice != nullptr; }

private:
    void tick();
    double gainAt(qint64 time) const;

    ZKMoviePlayerDelegate *m_delegate = nullptr;
    bool m_applyEffect = false;
    std::shared_ptr<ZKSegmentMovie> m_segment;
    std::shared_ptr<ZKAudioVoice> m_voice;
    qint64 m_position = 0;
    QTimer m_timer;
};
