#pragma once

#include <memory>
#include <vector>

class TrevanelFrameResource;

// The framework's shared resources: the button frames, drawn once on first use.
class TrevanelResource
{
public:
    static TrevanelResource &share();
    const std::vector<std::shared_ptr<TrevanelFrameResource>> &frames() const { return m_frames; }

private:
    TrevanelResource();
    std::vector<std::shared_ptr<TrevanelFrameResource>> m_frames;
};
