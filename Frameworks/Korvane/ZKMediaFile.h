#pragma once

#include <QSize>
#include <QString>
#include <QtGlobal>

#include <chrono>
#include <memory>

struct AVCodecContext;
struct AVFormatContext;
struct AVStream;

// One opened container: its own demuxer, so each use of a file (frames, played sound,
// exported sound) reads independently. Blocking calls give up after a deadline, so a
// damaged file never hangs a caller.
class ZKMediaFile
{
public:
    // nullptr when the path is no regular file or no container with a picture or sound stream.
    static std::unique_ptr<ZKMediaFile> open(const QString &path);
    ~ZKMediaFile();
    ZKMediaFile(const ZKMediaFile &) = delete;
    ZKMediaFile &operator=(const ZKMediaFile &) = delete;

    AVFormatContext *context() const { return m_context; }
    AVStream *videoStream() const; // nullptr when there is none
    AVStream *audioStream() const;
    int videoIndex() const { return m_video; }
    int audioIndex() const { return m_audio; }

    QString path() const { return m_path; }
    qint64 duration() const { return m_duration; } // ticks, of what the file holds, not what it promises
    // Ticks the container promises; longer than duration when the file is cut short.
    qint64 declaredDuration() const { return m_declaredDuration; }
    qint64 origin() const { return m_origin; }     // ticks of the container's first timestamp, 0 when negative
    QSize displaySize() const { return m_displaySize; } // aspect ratio and rotation applied
    int rotation() const { return m_rotation; }         // clockwise degrees: 0, 90, 180, 270
    // False for bare audio streams (MP3, ADTS, AC-3 …): their demuxers seek by guessing a byte
    // offset from the bit rate and then stamp packets with the time asked for, not the real one.
    bool seeksExactly() const { return m_seeksExactly; }

    // An opened decoder for the stream (freed with avcodec_free_context), or nullptr when
    // there is no decoder for its codec or it cannot be opened. threaded decodes on all cores.
    static AVCodecContext *openDecoder(const AVStream *stream, bool threaded);

    // Stream timestamps to and from media ticks counted from the file's start.
    qint64 ticksOf(qint64 streamTime, const AVStream *stream) const;
    qint64 streamTimeOf(qint64 ticks, const AVStream *stream) const;

    // Arms the deadline for the next blocking calls.
    void armDeadline(std::chrono::milliseconds span = std::chrono::seconds(5));
    bool pastDeadline() const;

private:
    ZKMediaFile() = default;
    qint64 presentLength() const; // ticks up to where the data stops, m_duration when whole
    static int interruptCallback(void *opaque);

    AVFormatContext *m_context = nullptr;
    QString m_path;
    int m_video = -1;
    int m_audio = -1;
    qint64 m_duration = 0;
    qint64 m_declaredDuration = 0;
    qint64 m_origin = 0;
    QSize m_displaySize;
    int m_rotation = 0;
    bool m_seeksExactly = true;
    std::chrono::steady_clock::time_point m_deadline;
};
