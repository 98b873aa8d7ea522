#include "SourceHL/Common/HLDirtyMark.h"

namespace {
std::atomic<quint64> lastGeneration{0};
}

void HLDirtyMark::makeDirty()
{
    m_iGeneration.store(lastGeneration.fetch_add(1, std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}
