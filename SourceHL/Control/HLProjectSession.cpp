#include "SourceHL/Control/HLProjectSession.h"

#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLAudiolinePlayer.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelinePlayer.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

std::shared_ptr<HLProjectSession> HLProjectSession::sessionOf(const HLProjectContents &contents, const Pools &pools,
                                                              std::shared_ptr<HLEditGate> gate)
{
    HL_ASSERT(contents.sizer && contents.timeline && contents.textline && contents.audioline && gate, "wrong para");
    const auto slideshowPool = pools.slideshow;
    const auto transitionPool = pools.transition;
    contents.timeline->setupSlideshow(
        [slideshowPool] { return slideshowPool->randomInfoDic().value_or(QVariantMap()); },
        [transitionPool] { return transitionPool->randomInfoDic().value_or(QVariantMap()); });
    auto session = std::make_shared<HLProjectSession>();
    session->m_contents = contents;
    session->m_oTimelineRender = HLTimelineRender::timelineRenderOf(contents.timeline, false, contents.sizer,
                                                                    pools.slideshow, pools.transition);
    session->m_oTextlineRender = HLTextlineRender::textlineRenderOf(contents.textline, false, contents.sizer, pools.text);
    session->m_oTimelinePlayer = HLTimelinePlayer::timelinePlayerOf(contents.timeline);
    session->m_oAudiolinePlayer = HLAudiolinePlayer::audiolinePlayerOf(contents.audioline);
    session->m_gate = std::move(gate);
    return session;
}

const std::shared_ptr<HLLastOperateQueue> &HLProjectSession::oLastOperateQueue() const
{
    return m_gate->queue();
}
