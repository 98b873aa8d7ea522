#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class HLProjectSession;
class HLWindowHost;

// The main window's play position: plays the project in real time in the preview and
// applies every seek to the model, the players, the play line, the read-outs and the
// preview. A precise timer ticks 30 times a second; the position advances by the time the
// machine clock measured, so a late tick never slows the movie down. Preview frames are
// rendered on the latest-job queue with the time and renderers captured when queued.
class HLPlayLoop : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<quint64()>; // monotonic ticks, HLMachTime's unit

    static constexpr int kTickMilliseconds = 33; // 1/30 s

    explicit HLPlayLoop(HLWindowHost &host);
    ~HLPlayLoop() override;

    // The machine clock unless a test drives its own.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Told each time a rendered preview frame reaches the window (for measuring the play).
    void setupFrameShown(std::function<void()> shown) { m_blkFrameShown = std::move(shown); }

    bool bIsPlaying() const { return m_tTimer != nullptr; }
    QTimer *tTimer() const { return m_tTimer; }

    void p_startPlaying();
    void p_stopPlaying();
    // One tick of the timer.
    void p_playFeedback();
    // A jump: the players re-seek.
    void p_seekAt(float time);
    // A continuous step: the players follow.
    void p_playAt(float time);
    void p_playAt(float time, bool seek);

private:
    void p_updateTimeline(float time);
    void p_renderPreview(bool wasPlaying);
    HLProjectSession &p_session() const;

    HLWindowHost &m_host;
    Clock m_clock;
    std::function<void()> m_blkFrameShown;
    QTimer *m_tTimer = nullptr;
    quint64 m_iMachTime = 0;
    quint64 m_iPlaySession = 0; // counts starts, so a late restart knows its session
};
