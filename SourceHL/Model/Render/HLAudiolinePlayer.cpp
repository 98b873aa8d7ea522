#include "SourceHL/Model/Render/HLAudiolinePlayer.h"

#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"

#include "Frameworks/Korvane/ZKAudioEngine.h"
#include "Frameworks/Korvane/ZKAudioVoice.h"

#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace {

// How far past the play time joins are handed to the mix: beyond the next tick of the play
// loop, a late one included, and well inside what a clip's sound is read ahead.
constexpr float kJoinLookahead = 0.1f;
// How far ahead the clip that comes in next is loaded and its sound decoded, held silent until
// its join is handed over: far more than opening and decoding a file take on a busy machine,
// so the clip has its sound ready on the join's frame.
constexpr float kDecodeLookahead = 0.4f;
constexpr qint64 kHeldFrame = std::numeric_limits<qint64>::max();

} // namespace

std::shared_ptr<HLAudiolinePlayer> HLAudiolinePlayer::audiolinePlayerOf(const std::shared_ptr<HLAudiolineItem> &audioline)
{
    if (!audioline)
        return nullptr;
    std::shared_ptr<HLAudiolinePlayer> player(new HLAudiolinePlayer());
    player->m_oAudioline = audioline;
    return player;
}

void HLAudiolinePlayer::play()
{
    m_bIsPlaying = true;
}

void HLAudiolinePlayer::update(float time)
{
    p_update(time, false);
}

void HLAudiolinePlayer::seek(float time)
{
    p_update(time, true);
}

void HLAudiolinePlayer::pause()
{
    if (!m_bIsPlaying)
        return;
    m_bIsPlaying = false;
    m_pendingStarts.clear();
    m_heldStarts.clear();
    m_scheduledStops.clear();
    for (const auto &item : m_oAudioline->loadedAudioItems()) {
        item->pause();
        item->unloadAudio();
    }
}

float HLAudiolinePlayer::p_volumeOf(const HLAudioItem &item, float time) const
{
    // The range test of a clip leaves out both ends; a clip that plays there keeps playing, with
    // the gain its edit gives that end, so a boundary never cuts the sound for a tick.
    const float fade = m_oAudioline->enType() == 1 ? item.fadeOutVolume(time) : 1.0f;
    const float gain =
        time >= item.dPlayMin() && time <= item.dPlayMax() ? item.localVolume(time - item.dPlayMin()) : 0.0f;
    return gain * fade * m_dVolumeRatio;
}

void HLAudiolinePlayer::p_update(float time, bool seek)
{
    if (!m_bIsPlaying)
        return;
    if (seek)
        p_dropJoins();
    const float cycle = m_oAudioline->repeatPlayingMode();
    if (cycle > 0 && time > cycle) {
        time -= cycle * std::max(0.0f, std::ceil(time / cycle) - 1.0f);
        while (time > cycle)
            time -= cycle;
        while (time <= 0)
            time += cycle;
    }
    m_oAudioline->update(
        time,
        [&](const std::shared_ptr<HLAudioItem> &item) {
            if (m_pendingStarts.contains(item)) {
                if (!item->contains(time))
                    return; // still waiting for its frame
                m_pendingStarts.erase(item);
                if (m_heldStarts.erase(item)) {
                    // A late tick passed its join before it was handed over: it comes in now.
                    item->globalSeek(time);
                    item->playFromFrame(ZKAudioEngine::instance().renderedFrames());
                }
            }
            if (seek || item->playBeyond())
                item->globalSeek(time);
            item->setVolume(p_volumeOf(*item, time));
        },
        [&](const std::shared_ptr<HLAudioItem> &item) {
            item->loadAudio();
            item->play();
            item->globalSeek(time);
            item->setVolume(p_volumeOf(*item, time));
        },
        [&](const std::shared_ptr<HLAudioItem> &item) {
            if (m_pendingStarts.contains(item))
                return; // loaded ahead of its start
            if (time >= item->dPlayMin() && time <= item->dPlayMax()) {
                item->setVolume(p_volumeOf(*item, time));
                return;
            }
            m_scheduledStops.erase(item);
            item->pause();
            item->unloadAudio();
        });
    p_scheduleJoins(time, cycle);
}

void HLAudiolinePlayer::p_scheduleJoins(float time, float cycle)
{
    const qint64 now = ZKAudioEngine::instance().renderedFrames();
    // The mix's frame at a time of the line, when that comes within the lookahead (across the
    // line's restart when it repeats).
    const auto aheadOf = [&](float at, float lookahead) -> std::optional<float> {
        float ahead = at - time;
        if (ahead <= 0 && cycle > 0)
            ahead += cycle;
        if (!(ahead > 0 && ahead <= lookahead))
            return std::nullopt;
        return ahead;
    };
    const auto frameAt = [&](float at) -> std::optional<qint64> {
        const auto ahead = aheadOf(at, kJoinLookahead);
        if (!ahead)
            return std::nullopt;
        return now + qint64(std::llround(double(*ahead) * ZKAudioVoice::kSampleRate));
    };
    for (const auto &item : m_oAudioline->aryItems()) {
        if (m_heldStarts.contains(item)) {
            if (const auto start = frameAt(item->dPlayMin())) {
                item->playFromFrame(*start);
                m_heldStarts.erase(item);
            }
        } else if (item->didLoad()) {
            // Told once: a later tick's estimate of the same time may differ by a frame or two,
            // and the clip that follows was given this one.
            if (m_scheduledStops.contains(item) || m_pendingStarts.contains(item))
                continue;
            // A clip that spans the whole repeating line runs on into its own start.
            if (cycle > 0 && item->dPlayMin() <= 0 && item->dPlayMax() >= cycle)
                continue;
            if (const auto end = frameAt(item->dPlayMax())) {
                item->stopAtFrame(*end);
                m_scheduledStops.insert(item);
            }
        } else if (aheadOf(item->dPlayMin(), kDecodeLookahead)) {
            item->loadAudio();
            item->localSeek(0);
            item->setVolume(p_volumeOf(*item, item->dPlayMin()));
            const auto start = frameAt(item->dPlayMin());
            item->playFromFrame(start ? *start : kHeldFrame);
            m_pendingStarts.insert(item);
            if (!start)
                m_heldStarts.insert(item);
        }
    }
}

void HLAudiolinePlayer::p_dropJoins()
{
    // Clips told where to end, or waiting to come in, start over from the new time.
    for (const auto &item : std::as_const(m_pendingStarts)) {
        item->pause();
        item->unloadAudio();
    }
    for (const auto &item : std::as_const(m_scheduledStops)) {
        item->pause();
        item->unloadAudio();
    }
    m_pendingStarts.clear();
    m_heldStarts.clear();
    m_scheduledStops.clear();
}
