#include "Platform/Imaging/PhotoCache.h"

#include "Platform/Imaging/PhotoReader.h"

#include <QFileInfo>

#include <condition_variable>

struct PhotoCache::Entry
{
    bool done = false;
    QImage image;
    QString error;
    std::condition_variable ready;
    std::list<Key>::iterator recent;
};

PhotoCache::PhotoCache(qint64 byteLimit)
    : m_byteLimit(byteLimit)
{
}

PhotoCache &PhotoCache::shared()
{
    // Room for two dozen photos at the size an HD export draws them.
    static PhotoCache cache(qint64(256) << 20);
    return cache;
}

QImage PhotoCache::photo(const QString &path, const QRect &region, const QSize &limit, QString *error)
{
    const QFileInfo file(path);
    const Key key{file.absoluteFilePath(), file.size(), file.lastModified().toMSecsSinceEpoch(),
                  region.x(), region.y(), region.width(), region.height(), limit.width(), limit.height()};
    std::unique_lock lock(m_mutex);
    auto found = m_entries.find(key);
    if (found != m_entries.end()) {
        const std::shared_ptr<Entry> entry = found->second;
        entry->ready.wait(lock, [&] { return entry->done; });
        if (entry->image.isNull()) {
            if (error)
                *error = entry->error;
            return {};
        }
        // It may have been let go while this thread waited.
        if (const auto kept = m_entries.find(key); kept != m_entries.end() && kept->second == entry)
            m_recent.splice(m_recent.end(), m_recent, entry->recent);
        return entry->image;
    }
    auto entry = std::make_shared<Entry>();
    entry->recent = m_recent.insert(m_recent.end(), key);
    m_entries.emplace(key, entry);
    lock.unlock();

    QString reason;
    QImage image = PhotoReader::load(path, limit, &reason, region);

    lock.lock();
    entry->image = image;
    entry->error = reason;
    entry->done = true;
    entry->ready.notify_all();
    if (image.isNull()) {
        // Failures are not kept: the next ask tries again.
        m_recent.erase(entry->recent);
        m_entries.erase(key);
    } else {
        m_recent.splice(m_recent.end(), m_recent, entry->recent);
        m_bytes += image.sizeInBytes();
        p_keepWithinLimit();
    }
    if (error)
        *error = reason;
    return image;
}

void PhotoCache::p_keepWithinLimit()
{
    // The newest picture stays even when it alone is over the bound; pictures still being
    // read are not counted yet.
    for (auto it = m_recent.begin(); m_bytes > m_byteLimit && std::next(it) != m_recent.end();) {
        const auto entry = m_entries.find(*it);
        if (!entry->second->done) {
            ++it;
            continue;
        }
        m_bytes -= entry->second->image.sizeInBytes();
        m_entries.erase(entry);
        it = m_recent.erase(it);
    }
}
