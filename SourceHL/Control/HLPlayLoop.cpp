#include "SourceHL/Control/HLPlayLoop.h"

#include "Platform/Foundation/HLDispatch.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Common/HLMachTime.h"
#include "SourceHL/Control/HLProjectSession.h"
#include "SourceHL/Control/HLWindowHost.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLAudiolinePlayer.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelineItemRendering.h"
#include "SourceHL/Model/Render/HLTimelinePlayer.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

HLPlayLoop::HLPlayLoop(HLWindowHost &host) : m_host(host), m_clock(&HLMachTime::machTime) {}

HLPlayLoop::~HLPlayLoop() = default;

HLProjectSession &HLPlayLoop::p_session() const
{
    return *m_host.session();
}

void HLPlayLoop::p_startPlaying()
{
    if (m_tTimer)
        return;
    m_tTimer = new QTimer(this);
    m_tTimer->setTimerType(Qt::PreciseTimer);
    m_tTimer->setInterval(kTickMilliseconds);
    connect(m_tTimer, &QTimer::timeout, this, &HLPlayLoop::p_playFeedback);
    m_tTimer->start();
    ++m_iPlaySession;
    m_iMachTime = m_clock();
    p_session().oTimelinePlayer()->play();
    p_session().oAudiolinePlayer()->play();
    p_seekAt(p_session().oTimeline()->dNowTime());
    m_host.playingChanged();
}

void HLPlayLoop::p_stopPlaying()
{
    if (!m_tTimer)
        return;
    m_tTimer->stop();
    m_tTimer->deleteLater();
    m_tTimer = nullptr;
    p_session().oTimelinePlayer()->pause();
    p_session().oAudiolinePlayer()->pause();
    m_host.playingChanged();
}

void HLPlayLoop::p_playFeedback()
{
    const auto &timeline = p_session().oTimeline();
    const float duration = timeline->dDuration();
    const quint64 now = m_clock();
    const double elapsed = HLMachTime::normalTimeFrom(now - m_iMachTime);
    m_iMachTime = now;
    float time = timeline->dNowTime() + float(elapsed);
    if (time > duration) {
        time = 0;
        p_stopPlaying();
        p_session().oTimelineRender()->deepClear();
        p_session().oTextlineRender()->clear();
    }
    p_playAt(time);
}

void HLPlayLoop::p_seekAt(float time)
{
    p_playAt(time, true);
}

void HLPlayLoop::p_playAt(float time)
{
    p_playAt(time, false);
}

void HLPlayLoop::p_playAt(float time, bool seek)
{
    const bool wasPlaying = bIsPlaying();
    p_updateTimeline(time);
    const HLProjectSession &session = p_session();
    const float now = session.oTimeline()->dNowTime();
    const auto &timelinePlayer = session.oTimelinePlayer();
    const auto &audiolinePlayer = session.oAudiolinePlayer();
    if (seek) {
        timelinePlayer->seek(now);
        audiolinePlayer->seek(now);
    } else {
        timelinePlayer->update(now);
        audiolinePlayer->update(now);
    }
    const HLTimelineItem &timeline = *session.oTimeline();
    const float fade = HLTimelineItemRendering::timelineFadeOutRatio(timeline);
    const float ambient = HLTimelineItemRendering::renderingAmbientRatio(timeline);
    timelinePlayer->setVolumeRatio(fade);
    audiolinePlayer->setVolumeRatio(fade * ambient);
    p_renderPreview(wasPlaying);
}

void HLPlayLoop::p_updateTimeline(float time)
{
    const HLProjectSession &session = p_session();
    const auto &timeline = session.oTimeline();
    // The play heads are atomic and no render reads them (a preview job takes its time with
    // it): a tick moves them without waiting for the running render.
    timeline->update(time);
    session.oTextline()->update(timeline->dNowTime());
    session.oAudioline()->update(timeline->dNowTime());
    m_host.showPlayPosition();
}

void HLPlayLoop::p_renderPreview(bool wasPlaying)
{
    // The job takes its time and renderers with it: the worker never reads the play head,
    // and an open or new project that replaces the renderers leaves this job its own.
    const HLProjectSession &project = p_session();
    const auto timelineRender = project.oTimelineRender();
    const auto textlineRender = project.oTextlineRender();
    const float time = project.oTimeline()->dNowTime();
    const quint64 session = m_iPlaySession;
    QPointer<HLPlayLoop> self(this);
    // A renderer that has shown many pictures of one item starts afresh at the same time,
    // but only while the play that asked for it still runs.
    auto restart = [self, wasPlaying, session, timelineRender] {
        if (!wasPlaying || !self || !self->bIsPlaying() || self->m_iPlaySession != session)
            return;
        self->p_stopPlaying();
        timelineRender->shallowClear();
        self->p_startPlaying();
    };
    project.oLastOperateQueue()->add([timelineRender, textlineRender, time, self, restart] {
        const QImage frame = timelineRender->renderPreview(time, restart);
        const QImage titles = textlineRender->renderPreview(time);
        HLDispatch::onMain([self, frame, titles] {
            if (!self)
                return;
            self->m_host.showFrame(frame, titles);
            if (self->m_blkFrameShown)
                self->m_blkFrameShown();
        });
    });
}
