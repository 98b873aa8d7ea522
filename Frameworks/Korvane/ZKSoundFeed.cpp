#include "Frameworks/Korvane/ZKSoundFeed.h"

#include "Frameworks/Korvane/MovieSource.h"
#include "Frameworks/Korvane/ZKAudioReader.h"

#include <cstring>

namespace {

class FileFeed : public ZKSoundFeed
{
public:
    explicit FileFeed(QString path) : m_path(std::move(path)) {}

    void seek(qint64 time) override
    {
        if (open())
            m_reader->seek(time);
    }

    void read(float *buffer, int frames) override
    {
        if (open())
            m_reader->read(buffer, frames);
        else
            std::memset(buffer, 0, size_t(frames) * 2 * sizeof(float));
    }

private:
    bool open()
    {
        if (!m_reader && !m_failed) {
            m_reader = ZKAudioReader::open(m_path);
            m_failed = !m_reader;
        }
        return m_reader != nullptr;
    }

    QString m_path;
    std::unique_ptr<ZKAudioReader> m_reader;
    bool m_failed = false;
};

class SilentFeed : public ZKSoundFeed
{
public:
    void seek(qint64) override {}
    void read(float *buffer, int frames) override
    {
        std::memset(buffer, 0, size_t(frames) * 2 * sizeof(float));
    }
};

class SourceFeed : public ZKSoundFeed
{
public:
    explicit SourceFeed(std::shared_ptr<MovieSource> source) : m_source(std::move(source)) {}

    void seek(qint64 time) override
    {
        m_source->setCurrentTime(time);
        m_source->flushOperation();
    }

    void read(float *buffer, int frames) override
    {
        if (!m_source->hasAudio() || !m_source->readSample(buffer, 0, frames))
            std::memset(buffer, 0, size_t(frames) * 2 * sizeof(float));
    }

private:
    std::shared_ptr<MovieSource> m_source;
};

} // namespace

std::shared_ptr<ZKSoundFeed> ZKSoundFeed::ofFile(const QString &path)
{
    return std::make_shared<FileFeed>(path);
}

std::shared_ptr<ZKSoundFeed> ZKSoundFeed::silence()
{
    return std::make_shared<SilentFeed>();
}

std::shared_ptr<ZKSoundFeed> ZKSoundFeed::ofSource(std::shared_ptr<MovieSource> source)
{
    if (!source)
        return silence();
    return std::make_shared<SourceFeed>(std::move(source));
}
