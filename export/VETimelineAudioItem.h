#pragma once

#include "Platform/Foundation/HLAtomicProperty.h"

#include <QtGlobal>

#include <functional>
#include <memory>

class ZKSegmentMovie;

// One sound placed on the export time line: a trimmed source segment that starts sounding at
// start and sounds for duration (media ticks), repeating every loopInterval when loop is set.
// The mixer keeps its play state in the item. Built on the main thread; the segment and the
// play state are then used by one export's audio job.
class VETimelineAudioItem
{
public:
    using LoadAudio = std::function<void()>;

    qint64 start() const { return m_start; }
    void setStart(qint64 start) { m_start = start; }
    qint64 duration() const { return m_duration; }
    void setDuration(qint64 duration) { m_duration = duration; }
    qint64 loopInterval() const { return m_loopInterval; }
    void setLoopInterval(qint64 interval) { m_loopInterval = interval; }
    bool loop() const { return m_loop; }
    void setLoop(bool loop) { m_loop = loop; }
    // The project-wide ducking envelope applies to this sound.
    bool applyAudioFade() const { return m_applyAudioFade; }
    void setApplyAudioFade(bool apply) { m_applyAudioFade = apply; }
    // Linear fade to silence over the last fadeOut ticks of each play; 0 for none.
    qint64 fadeOut() const { return m_fadeOut; }
    void setFadeOut(qint64 length) { m_fadeOut = length; }

    std::shared_ptr<ZKSegmentMovie> audioMovie() const { return m_audioMovie.get(); }
    void setAudioMovie(const std::shared_ptr<ZKSegmentMovie> &movie) { m_audioMovie.set(movie); }
    // Opens audioMovie when the sound starts; an item that has one is open only while it sounds.
    LoadAudio loadAudio() const { return m_loadAudio.get(); }
    void setLoadAudio(const LoadAudio &load) { m_loadAudio.set(load); }

    // Mixer state.
    qint64 read_total_frames() const { return m_readTotalFrames; }
    void setRead_total_frames(qint64 frames) { m_readTotalFrames = frames; }
    qint64 current_frames() const { return m_currentFrames; }
    void setCurrent_frames(qint64 frames) { m_currentFrames = frames; }
    bool is_sync() const { return m_isSync; }
    void setIs_sync(bool sync) { m_isSync = sync; }
    qint64 loop_start() const { return m_loopStart; }
    void setLoop_start(qint64 start) { m_loopStart = start; }

private:
    qint64 m_start = 0;
    qint64 m_duration = 0;
    qint64 m_loopInterval = 0;
    bool m_loop = false;
    bool m_applyAudioFade = false;
    qint64 m_fadeOut = 0;

    // The segment and its loader are set on the mixer's thread while others read them.
    HLAtomicProperty<std::shared_ptr<ZKSegmentMovie>> m_audioMovie;
    HLAtomicProperty<LoadAudio> m_loadAudio;

    qint64 m_readTotalFrames = 0;
    qint64 m_currentFrames = 0;
    bool m_isSync = false;
    qint64 m_loopStart = 0;
};
