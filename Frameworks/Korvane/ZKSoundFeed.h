#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class MovieSource;

// Where a playing voice takes its sound from: stereo float frames at 44100 Hz from a position.
// A feed is used by one voice at a time, on that voice's feeder thread.
class ZKSoundFeed
{
public:
    virtual ~ZKSoundFeed() = default;
    virtual void seek(qint64 time) = 0;
    // Fills frames frames, zeros where there is no sound.
    virtual void read(float *buffer, int frames) = 0;

    // The sound track of a file, read by a demuxer and decoder of its own (opened on first use).
    static std::shared_ptr<ZKSoundFeed> ofFile(const QString &path);
    // Silence that keeps time: a picture-only or empty movie still plays.
    static std::shared_ptr<ZKSoundFeed> silence();
    // Any movie source, through its own positioning and sample reading.
    static std::shared_ptr<ZKSoundFeed> ofSource(std::shared_ptr<MovieSource> source);
    // feed's stretch [start, stop) (ticks) over and over: the frame after the last one before
    // stop is the one at start, and nothing past stop is ever read. A position outside the
    // stretch plays from there up to stop first.
    static std::shared_ptr<ZKSoundFeed> looping(std::shared_ptr<ZKSoundFeed> feed, qint64 start, qint64 stop);
};
