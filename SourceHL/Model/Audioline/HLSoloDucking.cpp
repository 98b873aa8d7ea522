#include "SourceHL/Model/Audioline/HLSoloDucking.h"

#include <algorithm>

namespace {

constexpr float kRampLength = 3.0f;

} // namespace

HLSoloDucking::HLSoloDucking(std::vector<HLRanger> soloRangers)
{
    std::stable_sort(soloRangers.begin(), soloRangers.end(),
                     [](const HLRanger &a, const HLRanger &b) { return a.dMin() < b.dMin(); });
    for (const HLRanger &ranger : soloRangers) {
        if (!m_merged.empty() && ranger.dMin() <= m_merged.back().dMax())
            m_merged.back().setDMax(std::max(m_merged.back().dMax(), ranger.dMax()));
        else
            m_merged.push_back(ranger);
    }
    for (const HLRanger &ranger : m_merged) {
        const float start = ranger.dMin();
        const float stop = ranger.dMax();
        if (!(start < stop))
            continue;
        const float ramp = stop - start > 2 * kRampLength ? kRampLength : (stop - start) * 0.5f;
        m_ramps.push_back({start, start + ramp, 1, 0});
        m_ramps.push_back({start + ramp, stop - ramp, 0, 0});
        m_ramps.push_back({stop - ramp, stop, 0, 1});
    }
}

float HLSoloDucking::ambientRatioAt(float time) const
{
    for (const Ramp &ramp : m_ramps) {
        if (time < ramp.dStart)
            break;
        if (time >= ramp.dStop)
            continue;
        return ramp.dFrom + (ramp.dTo - ramp.dFrom) * (time - ramp.dStart) / (ramp.dStop - ramp.dStart);
    }
    return 1;
}
