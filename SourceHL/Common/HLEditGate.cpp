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
