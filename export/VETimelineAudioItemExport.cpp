#include "export/VETimelineAudioItemExport.h"

#include "export/VETimelineAudioItem.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovieFade.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr double rate = VETimelineAudioItemExport::default_sample_rate;

qint64 ticksOfFrames(qint64 frames)
{
    return zk_ff_time_from_double(double(frames) / rate);
}

double framesOfTicks(qint64 ticks)
{
    return zk_ff_time_to_double(ticks) * rate;
}

void restartSource(const std::shared_ptr<ZKSegmentMovie> &movie)
{
    if (!movie || !movie->ffmovie())
        return;
    movie->ffmovie()->setCurrentTime(movie->start());
    movie->ffmovie()->flushOperation();
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

qint64 VETimelineAudioItemExport::audio_samples_readed() const
{
    std::lock_guard lock(m_mutex);
    return m_audioSamplesReaded;
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

void VETimelineAudioItemExport::updateSyncAudioItemsWithTime(qint64 time)
{
    for (const auto &item : audios()) {
        if (!item || item->duration() < zk_ff_time_from_double(0.1))
            continue;
        const auto movie = item->audioMovie();
        if (item->is_sync() && double(item->read_total_frames()) >= framesOfTicks(item->duration()))
            item->setIs_sync(false);
        if (item->is_sync()) {
            // The source has run out: a clip longer than its segment plays it again.
            if (movie && double(item->current_frames()) >= framesOfTicks(movie->duration())) {
                item->setCurrent_frames(0);
                restartSource(movie);
            }
            continue;
        }
        qint64 start = item->start();
        if (item->loop()) {
            if (time > item->loop_start() + item->start() + item->duration())
                item->setLoop_start(time - time % std::max<qint64>(item->loopInterval(), 1));
            start = item->start() + item->loop_start();
        }
        if (start <= time && time < start + item->duration()) {
            item->setIs_sync(true);
            item->setRead_total_frames(0);
            item->setCurrent_frames(0);
            const auto load = item->loadAudio();
            if (!item->audioMovie() && load)
                load();
            restartSource(item->audioMovie());
        } else if (item->loadAudio()) {
            item->setAudioMovie(nullptr);
        }
    }
}

bool VETimelineAudioItemExport::readSample(float *buffer, int, int frames)
{
    if (!buffer || frames <= 0)
        return true;
    const size_t samples = size_t(frames) * 2;
    std::memset(buffer, 0, samples * sizeof(float));

    updateNextAudioEffect();
    qint64 time;
    double envelope = 1.0;
    {
        std::lock_guard lock(m_mutex);
        time = p_mixerTime();
    }
    updateSyncAudioItemsWithTime(time);
    {
        std::lock_guard lock(m_mutex);
        if (m_currentAudioFade && m_currentAudioFade->fadeStart() < time)
            envelope = m_currentAudioFade->audioVolumeAtTime(time);
        m_audioSamplesReaded += frames;
        if (m_scratch.size() < samples)
            m_scratch.resize(samples);
    }

    for (const auto &item : audios()) {
        if (!item || !item->is_sync())
            continue;
        const auto movie = item->audioMovie();
        float *scratch = m_scratch.data();
        std::memset(scratch, 0, samples * sizeof(float));
        double volume = 0;
        if (movie)
            volume = movie->audioVolumeAtTime(movie->start() + ticksOfFrames(item->current_frames()));
        if (item->fadeOut() > 0) {
            const qint64 played = ticksOfFrames(item->read_total_frames());
            const qint64 remaining = std::max<qint64>(item->duration() - played, 0);
            if (item->fadeOut() > remaining)
                volume = volume * double(remaining) / double(item->fadeOut());
        }
        if (item->applyAudioFade())
            volume *= envelope;
        item->setRead_total_frames(item->read_total_frames() + frames);
        item->setCurrent_frames(item->current_frames() + frames);
        if (!movie || !movie->ffmovie())
            continue;
        movie->ffmovie()->readSample(scratch, 0, frames);
        for (size_t i = 0; i < samples; ++i)
            buffer[i] = float(double(buffer[i]) + double(scratch[i]) * volume);
    }
    return true;
}
