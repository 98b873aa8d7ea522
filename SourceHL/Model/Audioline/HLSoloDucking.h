#pragma once

#include "SourceHL/Model/Audioline/HLRanger.h"

#include <vector>

// How far the music goes down while video clips play their own sound solo. Touching or
// overlapping solo ranges count as one, so the music goes down once and comes back once for
// them; inside each joined range it falls over 3 s (half the range when that is shorter than
// 6 s), stays silent and rises back to full by the range's end. Preview and export both read
// the music's factor from here.
class HLSoloDucking
{
public:
    // One straight stretch of the factor, from dFrom at dStart to dTo at dStop (seconds).
    struct Ramp
    {
        float dStart = 0;
        float dStop = 0;
        float dFrom = 1;
        float dTo = 1;
    };

    explicit HLSoloDucking(std::vector<HLRanger> soloRangers);

    // The solo ranges joined, in time order.
    const std::vector<HLRanger> &mergedRangers() const { return m_merged; }
    // Three ramps for each joined range with a length, in time order.
    const std::vector<Ramp> &ramps() const { return m_ramps; }
    // The music's factor at a time: 1 outside the solo ranges.
    float ambientRatioAt(float time) const;

private:
    std::vector<HLRanger> m_merged;
    std::vector<Ramp> m_ramps;
};
