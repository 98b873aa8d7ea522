#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

namespace ImagingThreads {

// Threads for loops that draw picture after picture, taken from Qt's global thread pool. Qt
// hands a large fill's rows to that pool's threads unless it is drawn on one of them. A loop
// that is one of several drawing pictures side by side gains nothing from the hand-overs but
// their cost, which was as much processor time again as the fills themselves. The pool grows
// by a thread for each loop while it runs, so drawing elsewhere still finds threads free.
class PainterLoops
{
public:
    PainterLoops() = default;
    ~PainterLoops(); // waits for the loops
    PainterLoops(const PainterLoops &) = delete;
    PainterLoops &operator=(const PainterLoops &) = delete;

    // Runs loop on a thread of its own; loop must not throw.
    void start(std::function<void()> loop);
    // Returns once every loop started has returned.
    void wait();

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    int m_running = 0;
};

} // namespace ImagingThreads
