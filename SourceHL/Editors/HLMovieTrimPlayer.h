#pragma once

#include "SourceHL/Editors/HLTrimlineProtocols.h"

#include <memory>

class ZKFFMovie;

// A movie as the trim line's player. The ratio read back is clamped into [0, 1] (0 for a
// movie without length), so a position past the end never reaches a selection's setter.
class HLMovieTrimPlayer : public TrimlinePlayerProtocol
{
public:
    explicit HLMovieTrimPlayer(std::shared_ptr<ZKFFMovie> movie);
    bool isTrimPlaying() const override;
    float trimPlayRatio() const override;
    // Seeks to the ratio of the duration, clamped into [0, 1], truncated to a tick.
    void updateTrimPlayRatio(float ratio) override;

private:
    std::shared_ptr<ZKFFMovie> m_movie;
};
