#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>

class ZKMovieImage;

// What the media framework asks of anything it plays or converts: a decoded file
// (ZKFFMovie), a segment of one (ZKSegmentMovie), or a source the program builds itself
// (the project rendered frame by frame, its mixed sound, a DVD menu). Times are media ticks
// (zk_default_time_base per second); sound is interleaved stereo float at 44100 Hz.
// Sources are used from the framework's threads: implementations guard their own state.
class MovieSource
{
public:
    using FrameAction = std::function<void(const std::shared_ptr<ZKMovieImage> &frame)>;

    virtual ~MovieSource() = default;

    virtual bool hasVideo() const = 0;
    virtual bool hasAudio() const = 0;
    virtual qint64 duration() const = 0;
    // The furthest time frames can be asked for.
    virtual qint64 currentVideoMediaMaxTime() const { return duration(); }

    // Repositions the sound read by readSample.
    virtual void setCurrentTime(qint64 time) = 0;
    // Drops buffered data after a jump.
    virtual void flushOperation() {}

    // Calls action with the frame at or before time (nothing when there is none), on the
    // calling thread before returning when waitUntilDone is true.
    virtual void decodeImageAtTime(qint64 time, const FrameAction &action, bool waitUntilDone) = 0;

    // Fills frames stereo float frames (2 × frames floats) from the current sound position
    // and advances it; past the end the buffer is zeros. False when nothing could be read.
    virtual bool readSample(float *buffer, int nbStream, int frames) = 0;

    // The gain a segment of this source gives its sound (a file's own volume).
    virtual double volume() const { return 1.0; }
};
