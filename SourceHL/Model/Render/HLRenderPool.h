#pragma once

#include "SourceHL/Model/Render/HLRenderCache.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>
#include <mutex>

// The prepared slide pictures the current frame needs, keyed by strCacheID. Brought into line
// with each frame's list of entries: pictures still valid are carried over, stale or new ones
// wait as tasks, and those no longer listed are released. The lock guards only the dictionary;
// tasks run outside it on the render thread.
class HLRenderPool
{
public:
    using Caches = QList<std::shared_ptr<HLRenderCache>>;
    // Makes the picture task of an entry that needs one (its resident flag and video time tell
    // what to make).
    using TaskMaker = std::function<HLRenderCache::Task(const HLRenderCache &cache)>;

    void clear();
    void clearBy(const QStringList &cacheIDs);
    void syncWith(const Caches &caches, const TaskMaker &maker);
    // Runs every pending task.
    void renderContent();
    // The picture of an entry (running its task when needed); null when there is no such entry.
    Picture contentOf(const QString &cacheID);
    QStringList loadedCacheHashIDs() const;

private:
    mutable std::mutex m_oLock;
    QHash<QString, std::shared_ptr<HLRenderCache>> m_dicRenders;
};
