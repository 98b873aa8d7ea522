#include "Platform/Foundation/HLJobStages.h"

#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLJob.h"

#include <algorithm>
#include <numeric>

class HLJobStages::Link
{
public:
    Link(HLJobStages &stages, HLJobState &part, double weight) : m_stages(stages), m_part(part)
    {
        HL_ASSERT(weight >= 0 && weight <= 1.0 + 1e-9, "wrong para");
        // What the part did before the link counts too.
        const double before = part.p_reportTo([&stages, weight](double rise) { stages.p_partGrew(rise * weight); });
        if (before > 0)
            stages.p_partGrew(before * weight);
        stages.m_state.p_addPart(&part);
    }
    ~Link()
    {
        m_stages.m_state.p_removePart(&m_part);
        m_part.p_reportTo({});
    }
    Link(const Link &) = delete;
    Link &operator=(const Link &) = delete;

private:
    HLJobStages &m_stages;
    HLJobState &m_part;
};

HLJobStages::HLJobStages(HLJobState &state, std::vector<double> shares)
    : m_state(state), m_shares(std::move(shares))
{
    HL_ASSERT(!m_shares.empty(), "wrong para");
    HL_ASSERT(std::all_of(m_shares.begin(), m_shares.end(), [](double share) { return share >= 0; }), "wrong para");
    HL_ASSERT(std::accumulate(m_shares.begin(), m_shares.end(), 0.0) <= 1.0 + 1e-9, "wrong para");
}

void HLJobStages::begin(size_t index)
{
    HL_ASSERT(index < m_shares.size() && index >= m_running, "wrong index");
    m_done = std::accumulate(m_shares.begin(), m_shares.begin() + std::ptrdiff_t(index), 0.0);
    m_running = index;
    m_parts = 0;
    m_state.setProgress(m_done);
}

void HLJobStages::setProgress(double progress)
{
    m_state.setProgress(m_done + std::clamp(progress, 0.0, 1.0) * m_shares[m_running]);
}

void HLJobStages::p_partGrew(double rise)
{
    double parts = m_parts.load();
    while (!m_parts.compare_exchange_weak(parts, parts + rise)) {
    }
    setProgress(parts + rise);
}

bool HLJobStages::p_passOn(const HLJobState &part, bool ok)
{
    if (ok)
        return true;
    if (!m_state.isCancelled()) {
        const QString reason = part.errorString();
        m_state.fail(reason.isEmpty() ? QString::fromLatin1(part.isCancelled() ? "Cancelled" : "Failed") : reason);
    }
    return false;
}

bool HLJobStages::follow(HLJobState &part, double weight)
{
    {
        const Link link(*this, part, weight);
        part.waitFinished();
    }
    return p_passOn(part, part.outcome() == HLJobState::Outcome::Succeeded);
}

bool HLJobStages::run(double weight, const std::function<bool(HLJobState &part)> &work)
{
    HLJobState part;
    bool ok = false;
    {
        const Link link(*this, part, weight);
        ok = !part.isCancelled() && work(part);
        if (ok)
            part.setProgress(1.0);
    }
    return p_passOn(part, ok);
}
