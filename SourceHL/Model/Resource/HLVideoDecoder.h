#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

class ZKFFMovie;
class ZKMovieImage;

// The picture of a video file at a time in media ticks. Frames are asked for mostly in playing
// order; the decoder moves the movie's frame position only when the time jumps backwards or
// at least one second forwards, or after a seek by the user, and otherwise lets the movie
// decode forward from where it stands. Frames are asked for on the render thread while
// videoSeek comes from the main thread.
class HLVideoDecoder
{
public:
    // nullptr when the file cannot be opened as a movie.
    static std::shared_ptr<HLVideoDecoder> videoDecoderOf(const QString &path);

    // The frame at time (clamped into the clip), or a null image when none is delivered.
    QImage videoFrameAt(qint64 time);
    // The next frame repositions, whatever its time.
    void videoSeek();

    // Frames are decoded straight to this size (empty: the clip's own display size).
    void setFrameSize(QSize size);

    std::shared_ptr<ZKFFMovie> oMovie() const { return m_movie; }
    float dDuration() const { return m_duration; }
    // The (clamped) time of the last frame asked for; −1 while a seek is pending.
    float dLastTime() const;
    std::shared_ptr<ZKMovieImage> movie_image() const;

private:
    explicit HLVideoDecoder(std::shared_ptr<ZKFFMovie> movie);

    std::shared_ptr<ZKFFMovie> m_movie;
    float m_duration = 0;
    mutable std::mutex m_mutex; // the frame path: last time and the kept frame
    qint64 m_lastTime = 0; // ticks
    std::atomic<bool> m_seekPending{false};
    std::shared_ptr<ZKMovieImage> m_movieImage;
};
