#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

class HLLastOperateQueue;

// What an edit changed, so that whoever follows the model refreshes only what it must.
namespace HLChange {
enum Kind : unsigned {
    None = 0,          // bookkeeping the user cannot see: nothing is announced
    Structure = 1u << 0, // items added, moved or removed on a line
    Timing = 1u << 1,    // durations and places in time
    Style = 1u << 2,     // how an item looks: only the preview changes
    PlayHead = 1u << 3,  // the play position: not an edit of the project
    Project = 1u << 4,   // a whole project came in (new, open): everything follows, nothing is edited
};
using Kinds = unsigned;
// The kinds that change the project the user would save.
constexpr Kinds kEdits = Structure | Timing | Style;
} // namespace HLChange

// The one door for every change of the model, and its one publisher. Before an edit runs,
// the preview job is stopped and waited for, so the render worker never reads a model that
// is being changed; after it, the change is announced once to the subscribers, even when
// edits nest. The model is changed on the main thread only.
class HLEditGate
{
public:
    using Subscriber = std::function<void(HLChange::Kinds kinds)>;

    explicit HLEditGate(std::shared_ptr<HLLastOperateQueue> queue);

    // Stops the preview job, waits for it, runs edit, announces kinds (unless None) and
    // returns what edit returns. An edit that throws announces nothing.
    template <class Edit>
    decltype(auto) perform(HLChange::Kinds kinds, Edit &&edit)
    {
        stopPreview();
        Scope scope(*this, kinds);
        if constexpr (std::is_void_v<decltype(std::forward<Edit>(edit)())>) {
            std::forward<Edit>(edit)();
            scope.done();
        } else {
            decltype(auto) result = std::forward<Edit>(edit)();
            scope.done();
            return result;
        }
    }

    // Drops the pending preview jobs and waits for the running one.
    void stopPreview();

    // Told every announcement, on the main thread, in the order subscribed.
    void subscribe(Subscriber subscriber) { m_subscribers.push_back(std::move(subscriber)); }

    // Counts the announced edits of the project (kEdits): a save compares it with the count
    // its snapshot was taken at.
    quint64 iGeneration() const { return m_iGeneration; }

    const std::shared_ptr<HLLastOperateQueue> &queue() const { return m_queue; }

private:
    class Scope
    {
    public:
        Scope(HLEditGate &gate, HLChange::Kinds kinds);
        ~Scope();
        void done() { m_done = true; }

    private:
        HLEditGate &m_gate;
        bool m_done = false;
    };
    void p_announce(HLChange::Kinds kinds);

    std::shared_ptr<HLLastOperateQueue> m_queue;
    std::vector<Subscriber> m_subscribers;
    int m_iDepth = 0;
    HLChange::Kinds m_pending = HLChange::None;
    quint64 m_iGeneration = 0;
};
