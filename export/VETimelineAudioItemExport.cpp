#include "export/VETimelineAudioItemExport.h"

#include "export/VETimelineAudioItem.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovieFade.h"
#include "Frameworks/Korvane/ZKSoftLimit.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double rate = VETimelineAudioItemExport::default_sample_rate;

qint64 ticksOfFrames(qint64 frames)
{
    return zk_ff_time_from_double(double(frames) / rate);
}

// The frame a time falls on. Every boundary is taken from its own time, never from a length
// added to another boundary, so that a clip that starts where another ends starts on the very
// frame after the other's last.
qint64 frameOfTicks(qint64 ticks)
{
    return qint64(std::llround(zk_ff_time_to_double(ticks) * rate));
}

void positionSource(const std::shared_ptr<ZKSegmentMovie> &movie, qint64 frames)
{
    if (!movie || !movie->ffmovie())
        return;
    movie->ffmovie()->setCurrentTime(movie->start() + ticksOfFrames(frames));
    movie->ffmovie()->flushOperation();
}

qint64 segmentFramesOf(const std::shared_ptr<ZKSegmentMovie> &movie)
{
    return movie ? frameOfTicks(movie->duration()) : 0;
}

} // namespace

VETimelineAudioItemExport::Audios VETimelineAudioItemExport::audios() const
{
    std::lock_guard lock(m_mutex);
    return m_audios;
}

void VETimelineAudioItemExport::setAudios(const Audios &audios)
{
    std::lock_guard lock(m_mutex);
    m_audios = audios;
}

VETimelineAudioItemExport::Fades VETimelineAudioItemExport::audioFades() const
{
    std::lock_guard lock(m_mutex);
    return m_audioFades;
}

void VETimelineAudioItemExport::setAudioFades(const Fades &fades)
{
    std::lock_guard lock(m_mutex);
    m_audioFades = fades;
}

qint64 VETimelineAudioItemExport::max_duration() const
{
    std::lock_guard lock(m_mutex);
    return m_maxDuration;
}

void VETimelineAudioItemExport::setMax_duration(qint64 duration)
{
    std::lock_guard lock(m_mutex);
    m_maxDuration = duration;
}

qint64 VETimelineAudioItemExport::currentVideoMediaMaxTime() const
{
    return zk_ff_time_from_double(36000);
}

void VETimelineAudioItemExport::setCurrentTime(qint64 time)
{
    std::lock_guard lock(m_mutex);
    m_currentAudioFade.reset();
    m_audioSamplesReaded = qint64(zk_ff_time_to_double(time) * rate);
}

void VETimelineAudioItemExport::decodeImageAtTime(qint64, const FrameAction &, bool)
{
    // No pictures: the converter never asks a source without video.
}

qint64 VETimelineAudioItemExport::p_mixerTime() const
{
    return ticksOfFrames(m_audioSamplesReaded);
}

void VETimelineAudioItemExport::updateNextAudioEffect()
{
    std::lock_guard lock(m_mutex);
    const qint64 time = p_mixerTime();
    if (m_currentAudioFade && m_currentAudioFade->fadeStop() < time)
        m_currentAudioFade.reset();
    if (m_currentAudioFade)
        return;
    for (const auto &fade : m_audioFades) {
        if (fade && fade->fadeStop() > time) {
            m_currentAudioFade = fade;
            return;
        }
    }
}

// The frames [first, end) of the play of a clip that holds frame, or of its next play after
// it; false when the clip plays no more. A looping clip plays once in each period of
// loopInterval, start into it; a play that has ended moves it on to the period of the frame,
// or the next one when that period's play is over too.
bool VETimelineAudioItemExport::p_playOf(VETimelineAudioItem &item, qint64 frame, qint64 *first, qint64 *end)
{
    const qint64 start = item.start();
    const qint64 duration = item.duration();
    const auto playAt = [&](qint64 offset) {
        *first = frameOfTicks(start + offset);
        *end = frameOfTicks(start + offset + duration);
    };
    playAt(item.loop() ? item.loop_start() : 0);
    if (!item.loop())
        return frame < *end;
    if (frame >= *end || frame < frameOfTicks(item.loop_start())) {
        const qint64 interval = std::max<qint64>(item.loopInterval(), 1);
        const qint64 time = ticksOfFrames(frame);
        qint64 period = time - time % interval;
        playAt(period);
        if (frame >= *end)
            playAt(period += interval);
        item.setLoop_start(period);
    }
    return true;
}

void VETimelineAudioItemExport::p_mixItem(VETimelineAudioItem &item, qint64 firstFrame, int frames, double envelope,
                                          float *buffer)
{
    const qint64 stopFrame = firstFrame + frames;
    qint64 frame = firstFrame;
    while (frame < stopFrame) {
        qint64 playFirst = 0;
        qint64 playEnd = 0;
        if (!p_playOf(item, frame, &playFirst, &playEnd) || playFirst >= stopFrame) {
            if (item.is_sync())
                item.setIs_sync(false);
            if (item.loadAudio())
                item.setAudioMovie(nullptr); // opened again when it next sounds
            return;
        }
        frame = std::max(frame, playFirst);
        if (!item.is_sync() || item.read_total_frames() != frame - playFirst) {
            // A new play, or the mixer's clock moved: the source goes where the play stands.
            item.setIs_sync(true);
            item.setRead_total_frames(frame - playFirst);
            const auto load = item.loadAudio();
            if (!item.audioMovie() && load)
                load();
            const qint64 segment = segmentFramesOf(item.audioMovie());
            item.setCurrent_frames(segment > 0 ? item.read_total_frames() % segment : 0);
            positionSource(item.audioMovie(), item.current_frames());
        }
        const auto movie = item.audioMovie();
        const qint64 segment = segmentFramesOf(movie);
        // Up to the end of the play, of the request, and of the source's segment.
        qint64 span = std::min(stopFrame, playEnd) - frame;
        if (segment > 0)
            span = std::min(span, segment - item.current_frames());
        p_mixSpan(item, int(span), envelope, buffer + (frame - firstFrame) * 2);
        frame += span;
        item.setRead_total_frames(item.read_total_frames() + span);
        item.setCurrent_frames(item.current_frames() + span);
        if (segment > 0 && item.current_frames() >= segment) {
            // A clip longer than its segment plays it again.
            item.setCurrent_frames(0);
            positionSource(movie, 0);
        }
        if (frame >= playEnd)
            item.setIs_sync(false);
    }
}

void VETimelineAudioItemExport::p_mixSpan(const VETimelineAudioItem &item, int frames, double envelope, float *buffer)
{
    const auto movie = item.audioMovie();
    if (!movie || !movie->ffmovie() || segmentFramesOf(movie) <= 0 || frames <= 0)
        return;
    double volume = movie->audioVolumeAtTime(movie->start() + ticksOfFrames(item.current_frames()));
    if (item.fadeOut() > 0) {
        const qint64 played = ticksOfFrames(item.read_total_frames());
        const qint64 remaining = std::max<qint64>(item.duration() - played, 0);
        if (item.fadeOut() > remaining)
            volume = volume * double(remaining) / double(item.fadeOut());
    }
    if (item.applyAudioFade())
        volume *= envelope;
    const size_t samples = size_t(frames) * 2;
    if (m_scratch.size() < samples)
        m_scratch.resize(samples);
    float *scratch = m_scratch.data();
    std::memset(scratch, 0, samples * sizeof(float));
    movie->ffmovie()->readSample(scratch, 0, frames);
    for (size_t i = 0; i < samples; ++i)
        buffer[i] = float(double(buffer[i]) + double(scratch[i]) * volume);
}

bool VETimelineAudioItemExport::readSample(float *buffer, int, int frames)
{
    if (!buffer || frames <= 0)
        return true;
    const size_t samples = size_t(frames) * 2;
    std::memset(buffer, 0, samples * sizeof(float));

    updateNextAudioEffect();
    qint64 firstFrame;
    double envelope = 1.0;
    {
        std::lock_guard lock(m_mutex);
        firstFrame = m_audioSamplesReaded;
        const qint64 time = p_mixerTime();
        if (m_currentAudioFade && m_currentAudioFade->fadeStart() < time)
            envelope = m_currentAudioFade->audioVolumeAtTime(time);
        m_audioSamplesReaded += frames;
    }
    const qint64 shortest = zk_default_time_base() / 10;
    for (const auto &item : audios()) {
        if (item && item->duration() >= shortest)
            p_mixItem(*item, firstFrame, frames, envelope, buffer);
    }
    zk_soft_limit(buffer, qsizetype(samples));
    return true;
}
