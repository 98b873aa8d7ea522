#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

// Photos decoded for drawing, shared by everyone who draws the same part of the same file at
// the same size: the parallel copies of a project in an export decode each photo once, not
// once per copy. The most recently used pictures are kept up to a memory bound; a file that
// changes on disk is read afresh. Safe on any thread; a picture being decoded is waited for,
// not decoded twice.
class PhotoCache
{
public:
    explicit PhotoCache(qint64 byteLimit);

    // The one the engine's renderers share.
    static PhotoCache &shared();

    // PhotoReader's picture of path: region (upright pixels; empty for the whole photo) fitted
    // inside limit. A null image with the reason in error when it cannot be read.
    QImage photo(const QString &path, const QRect &region, const QSize &limit, QString *error = nullptr);

private:
    // Path, file size and change time, region, limit.
    using Key = std::tuple<QString, qint64, qint64, int, int, int, int, int, int>;
    struct Entry;

    void p_keepWithinLimit();

    const qint64 m_byteLimit;
    std::mutex m_mutex;
    std::map<Key, std::shared_ptr<Entry>> m_entries;
    std::list<Key> m_recent; // least recently used first
    qint64 m_bytes = 0;
};
