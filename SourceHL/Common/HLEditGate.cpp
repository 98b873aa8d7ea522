#include "SourceHL/Common/HLEditGate.h"

#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLDispatch.h"
#include "SourceHL/Common/HLLastOperateQueue.h"

HLEditGate::HLEditGate(std::shared_ptr<HLLastOperateQueue> queue)
    : m_queue(std::move(queue))
{
    HL_ASSERT(m_queue, "wrong para");
}

void HLEditGate::stopPreview()
{
    HL_ASSERT(HLDispatch::isMainThread(), "wrong thread");
    m_queue->cancel();
    m_queue->wait();
}

HLEditGate::Scope::Scope(HLEditGate &gate, HLChange::Kinds kinds) : m_gate(gate)
{
    ++m_gate.m_iDepth;
    m_gate.m_pending |= kinds;
}

HLEditGate::Scope::~Scope()
{
    // Edits nested in one another are one change, announced when the outermost ends.
    if (--m_gate.m_iDepth > 0)
        return;
    const HLChange::Kinds kinds = std::exchange(m_gate.m_pending, HLChange::None);
    if (m_done && kinds != HLChange::None)
        m_gate.p_announce(kinds);
}

void HLEditGate::p_announce(HLChange::Kinds kinds)
{
    if (kinds & HLChange::kEdits)
        ++m_iGeneration;
    // A subscriber may edit again (a seek moves the play head): that is a change of its own.
    const std::vector<Subscriber> subscribers = m_subscribers;
    for (const Subscriber &subscriber : subscribers)
        subscriber(kinds);
}
