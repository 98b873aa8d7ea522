#pragma once

#include "Frameworks/Korvane/MovieSource.h"

#include <QImage>
#include <QSizeF>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class VETimelineAudioItemExport;

// The project as a movie: each picture is rendered on request through the frame block, the
// sound is read from the pre-mixed audio file (ffaudio) once the export has made it.
//
// With frame blocks over copies of the project, pictures are rendered where the converter's
// worker threads ask for them, several at once, each block used by one thread at a time;
// otherwise getImage renders each frame on the converter's calling thread.
class VETimelineExportMovie : public MovieSource, public std::enable_shared_from_this<VETimelineExportMovie>
{
public:
    // The whole project's picture at a media time; a null image for none.
    using GetImage = std::function<QImage(qint64 time)>;

    void setDuration(qint64 duration);
    GetImage getImage() const;
    void setGetImage(const GetImage &block);
    // Blocks that render independently of each other (and of getImage).
    void setFrameBlocks(const std::vector<GetImage> &blocks);
    // The length of the final fade of the mixed sound.
    qint64 fadeOut() const;
    void setFadeOut(qint64 length);
    std::shared_ptr<VETimelineAudioItemExport> audioExport() const;
    void setAudioExport(const std::shared_ptr<VETimelineAudioItemExport> &mixer);
    std::shared_ptr<MovieSource> ffaudio() const;
    void setFfaudio(const std::shared_ptr<MovieSource> &audio);
    QSizeF videoSize() const;
    void setVideoSize(QSizeF size);

    bool hasVideo() const override { return true; }
    bool hasAudio() const override { return ffaudio() != nullptr; }
    qint64 duration() const override;
    qint64 currentVideoMediaMaxTime() const override;
    void setCurrentTime(qint64 time) override;
    void flushOperation() override;
    void decodeImageAtTime(qint64 time, const FrameAction &action, bool waitUntilDone) override;
    bool readSample(float *buffer, int nbStream, int frames) override;

private:
    // Renders with whichever frame block is free, waiting for one.
    QImage p_renderWithFreeBlock(qint64 time);

    mutable std::mutex m_mutex;
    std::condition_variable m_blockFreed;
    std::vector<GetImage> m_freeBlocks;
    bool m_hasFrameBlocks = false;
    qint64 m_duration = 0;
    GetImage m_getImage;
    qint64 m_fadeOut = 0;
    std::shared_ptr<VETimelineAudioItemExport> m_audioExport;
    std::shared_ptr<MovieSource> m_ffaudio;
    QSizeF m_videoSize;
};
