#pragma once

#include "SourceHL/Model/Package/HLProjectContents.h"

#include <memory>

class HLAudiolinePlayer;
class HLEditGate;
class HLLastOperateQueue;
class HLQuartzPool;
class HLTextlineRender;
class HLTimelinePlayer;
class HLTimelineRender;

// The open project as one object: its model, sizer, renderers and players, with the
// latest-job queue its preview renders on and the edit gate every change goes through.
// Opening a project makes a new session that keeps the queue and the gate, so whoever holds
// the gate keeps it across projects.
class HLProjectSession
{
public:
    struct Pools
    {
        std::shared_ptr<HLQuartzPool> slideshow;
        std::shared_ptr<HLQuartzPool> transition;
        std::shared_ptr<HLQuartzPool> text;
    };

    // Main thread: a session of contents drawing with pools' templates; its renderers and
    // players are made here. New slideshow items take random templates of the pools.
    static std::shared_ptr<HLProjectSession> sessionOf(const HLProjectContents &contents, const Pools &pools,
                                                       std::shared_ptr<HLEditGate> gate);

    HLProjectContents contents() const { return m_contents; }
    const std::shared_ptr<HLRenderSizer> &oSizer() const { return m_contents.sizer; }
    const std::shared_ptr<HLTimelineItem> &oTimeline() const { return m_contents.timeline; }
    const std::shared_ptr<HLTextlineItem> &oTextline() const { return m_contents.textline; }
    const std::shared_ptr<HLAudiolineItem> &oAudioline() const { return m_contents.audioline; }
    const std::shared_ptr<HLTimelineRender> &oTimelineRender() const { return m_oTimelineRender; }
    const std::shared_ptr<HLTextlineRender> &oTextlineRender() const { return m_oTextlineRender; }
    const std::shared_ptr<HLTimelinePlayer> &oTimelinePlayer() const { return m_oTimelinePlayer; }
    const std::shared_ptr<HLAudiolinePlayer> &oAudiolinePlayer() const { return m_oAudiolinePlayer; }
    HLEditGate &gate() const { return *m_gate; }
    const std::shared_ptr<HLEditGate> &sharedGate() const { return m_gate; }
    const std::shared_ptr<HLLastOperateQueue> &oLastOperateQueue() const;

private:
    HLProjectContents m_contents;
    std::shared_ptr<HLTimelineRender> m_oTimelineRender;
    std::shared_ptr<HLTextlineRender> m_oTextlineRender;
    std::shared_ptr<HLTimelinePlayer> m_oTimelinePlayer;
    std::shared_ptr<HLAudiolinePlayer> m_oAudiolinePlayer;
    std::shared_ptr<HLEditGate> m_gate;
};
