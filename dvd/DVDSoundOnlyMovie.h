#pragma once

#include "Frameworks/Korvane/MovieSource.h"

#include <memory>

class ZKSegmentMovie;

// The sound of a movie source without its pictures, so a converter writes (and decodes) only
// sound: the menu music taken from a video clip.
class DVDSoundOnlyMovie : public MovieSource
{
public:
    explicit DVDSoundOnlyMovie(std::shared_ptr<MovieSource> source) : m_source(std::move(source)) {}

    // The same stretch, fades and volume of segment's sound.
    static std::shared_ptr<ZKSegmentMovie> soundSegmentOf(const ZKSegmentMovie &segment);

    bool hasVideo() const override { return false; }
    bool hasAudio() const override { return m_source->hasAudio(); }
    qint64 duration() const override { return m_source->duration(); }
    void setCurrentTime(qint64 time) override { m_source->setCurrentTime(time); }
    void flushOperation() override { m_source->flushOperation(); }
    void decodeImageAtTime(qint64, const FrameAction &, bool) override {}
    bool readSample(float *buffer, int nbStream, int frames) override
    {
        return m_source->readSample(buffer, nbStream, frames);
    }
    double volume() const override { return m_source->volume(); }

private:
    std::shared_ptr<MovieSource> m_source;
};
