#pragma once

#include <memory>
#include <utility>

class HLLastOperateQueue;

// The one door for every change of the model. Before an edit runs, the preview job is
// stopped and waited for, so the render worker never reads a model that is being changed.
// The model is changed on the main thread only.
class HLEditGate
{
public:
    explicit HLEditGate(std::shared_ptr<HLLastOperateQueue> queue);

    // Stops the preview job, waits for it, then runs edit and returns what it returns.
    template <class Edit>
    decltype(auto) perform(Edit &&edit)
    {
        stopPreview();
        return std::forward<Edit>(edit)();
    }

    // Drops the pending preview jobs and waits for the running one.
    void stopPreview();

    const std::shared_ptr<HLLastOperateQueue> &queue() const { return m_queue; }

private:
    std::shared_ptr<HLLastOperateQueue> m_queue;
};
