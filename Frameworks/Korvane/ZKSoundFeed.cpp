#include "Frameworks/Korvane/ZKSoundFeed.h"

#include "Frameworks/Korvane/MovieSource.h"
#include "Frameworks/Korvane/ZKAudioReader.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <algorithm>
#include <cmath>
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

qint64 frameOf(qint64 time)
{
    return qint64(std::llround(zk_ff_time_to_double(time) * 44100));
}

class LoopFeed : public ZKSoundFeed
{
public:
    LoopFeed(std::shared_ptr<ZKSoundFeed> feed, qint64 start, qint64 stop)
        : m_feed(std::move(feed)), m_start(start), m_first(frameOf(start)), m_end(frameOf(stop))
    {
    }

    void seek(qint64 time) override
    {
        m_feed->seek(time);
        m_frame = frameOf(time);
    }

    void read(float *buffer, int frames) override
    {
        while (frames > 0) {
            if (m_frame >= m_end) {
                m_feed->seek(m_start);
                m_frame = m_first;
            }
            const int span = int(std::min<qint64>(frames, m_end - m_frame));
            m_feed->read(buffer, span);
            buffer += size_t(span) * 2;
            frames -= span;
            m_frame += span;
        }
    }

private:
    std::shared_ptr<ZKSoundFeed> m_feed;
    qint64 m_start;
    qint64 m_first;
    qint64 m_end;
    qint64 m_frame = 0;
};

} // namespace

std::shared_ptr<ZKSoundFeed> ZKSoundFeed::looping(std::shared_ptr<ZKSoundFeed> feed, qint64 start, qint64 stop)
{
    if (!feed || frameOf(stop) <= frameOf(start))
        return feed;
    return std::make_shared<LoopFeed>(std::move(feed), start, stop);
}

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
