#pragma once

#include "Frameworks/Korvane/ZKMediaFile.h"

#include <QImage>

#include <memory>

class ZKDeinterlacer;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

// Decodes the picture track of one file for one user. Requests come mostly in playing order:
// the reader decodes forward from where it stands and moves its demuxer only for a backward
// jump, a long forward jump or an explicit reposition. Pictures are scaled straight from the
// decoded frame to the size asked for. Not thread-safe: its owner serialises calls.
class ZKVideoReader
{
public:
    static std::unique_ptr<ZKVideoReader> open(const QString &path);
    ~ZKVideoReader();

    const ZKMediaFile &file() const { return *m_file; }

    // The frame shown at time (the last one starting at or before it; the first frame for a
    // time before it, the last one past the end), as premultiplied ARGB32 of size (the displayed
    // size when size is empty), rotation applied. A null image when nothing can be decoded.
    QImage frameAt(qint64 time, QSize size, qint64 *frameTime = nullptr);
    // The next frameAt decodes from the keyframe at or before time.
    void reposition(qint64 time);
    // How often the demuxer was moved.
    int seekCount() const { return m_seekCount; }

private:
    ZKVideoReader() = default;
    bool seekTo(qint64 time);
    // Moves the demuxer so that the first picture decoded starts at or before time.
    void seekBefore(qint64 time);
    bool needsSeek(qint64 time) const;
    bool decodeInto(AVFrame *frame); // the next decoded frame; false at the end
    bool decodeNext();               // decodes into m_next; false (and ended) at the end
    qint64 frameTicks(const AVFrame *frame); // AV_NOPTS_VALUE when it cannot be known
    QImage convert(const AVFrame *frame, QSize size);

    std::unique_ptr<ZKMediaFile> m_file;
    AVCodecContext *m_codec = nullptr;
    AVPacket *m_packet = nullptr;
    AVFrame *m_current = nullptr; // the last frame at or before the last request
    AVFrame *m_next = nullptr;    // decoded ahead, starts after the last request
    qint64 m_currentTime = 0;
    qint64 m_nextTime = 0;
    bool m_hasCurrent = false;
    bool m_hasNext = false;
    bool m_ended = false;
    bool m_draining = false;
    bool m_pendingReposition = false;
    qint64 m_repositionTime = 0;
    qint64 m_lastTicks = 0;
    bool m_ticksKnown = true;       // false after a jump until a stamped picture comes
    bool m_onlySomeStamped = false; // pictures without their own stamp are counted on
    int m_seekCount = 0;

    std::unique_ptr<ZKDeinterlacer> m_deinterlacer; // made at the first interlaced picture
    bool m_deinterlacerEnded = false;
    bool m_deinterlaceFailed = false;

    SwsContext *m_sws = nullptr;
    int m_swsKey[5] = {0, 0, -1, 0, 0};
    QImage m_image; // the last picture made, reused when the same frame is asked again
    qint64 m_imageTime = -1;
    QSize m_imageSize;
    bool m_imageValid = false;
};
