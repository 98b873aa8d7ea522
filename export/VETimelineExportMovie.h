#pragma once

#include "Frameworks/Korvane/MovieSource.h"
#include "Platform/Foundation/HLAtomicProperty.h"

#include <QImage>
#include <QSizeF>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class VEExportFrameBlocks;
class VETimelineAudioItemExport;

// The project as a movie: each picture is rendered on request through the frame block, the
// sound is read from the pre-mixed audio file (ffaudio) once the export has made it.
//
// With frame blocks over copies of the project, pictures are rendered where the converter's
// worker threads ask for them, several at once, each block used by one thread at a time and
// given its frames in the order the converter asked for them; otherwise getImage renders each
// frame on the converter's calling thread.
class VETimelineExportMovie : public MovieSource
{
public:
    // The whole project's picture at a media time; a null image for none.
    using GetImage = std::function<QImage(qint64 time)>;

    void setDuration(qint64 duration) { m_duration.set(duration); }
    GetImage getImage() const { return m_getImage.get(); }
    void setGetImage(const GetImage &block) { m_getImage.set(block); }
    // Blocks that render independently of each other (and of getImage).
    void setFrameBlocks(const std::vector<GetImage> &blocks);
    // The length of the final fade of the mixed sound.
    qint64 fadeOut() const { return m_fadeOut.get(); }
    void setFadeOut(qint64 length) { m_fadeOut.set(length); }
    std::shared_ptr<VETimelineAudioItemExport> audioExport() const { return m_audioExport.get(); }
    void setAudioExport(const std::shared_ptr<VETimelineAudioItemExport> &mixer) { m_audioExport.set(mixer); }
    std::shared_ptr<MovieSource> ffaudio() const { return m_ffaudio.get(); }
    void setFfaudio(const std::shared_ptr<MovieSource> &audio) { m_ffaudio.set(audio); }
    QSizeF videoSize() const { return m_videoSize.get(); }
    void setVideoSize(QSizeF size) { m_videoSize.set(size); }

    bool hasVideo() const override { return true; }
    bool hasAudio() const override { return ffaudio() != nullptr; }
    qint64 duration() const override { return m_duration.get(); }
    qint64 currentVideoMediaMaxTime() const override;
    void setCurrentTime(qint64 time) override;
    void flushOperation() override;
    void decodeImageAtTime(qint64 time, const FrameAction &action, bool waitUntilDone) override;
    bool readSample(float *buffer, int nbStream, int frames) override;

private:
    mutable std::mutex m_mutex; // the frame blocks
    std::shared_ptr<VEExportFrameBlocks> m_frameBlocks;
    HLAtomicProperty<qint64> m_duration;
    HLAtomicProperty<GetImage> m_getImage;
    HLAtomicProperty<qint64> m_fadeOut;
    HLAtomicProperty<std::shared_ptr<VETimelineAudioItemExport>> m_audioExport;
    HLAtomicProperty<std::shared_ptr<MovieSource>> m_ffaudio;
    HLAtomicProperty<QSizeF> m_videoSize;
};
