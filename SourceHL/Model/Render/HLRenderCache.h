#pragma once

#include "Platform/Imaging/Picture.h"

#include <QString>

#include <functional>
#include <memory>

class HLRenderItem;

// One prepared slide picture, or the task that makes it. An entry belongs to one placement of a
// picture (a render item), so the same photo shown twice with different edits gets two entries;
// strHashID names the resource for the load bookkeeping, strCacheID is the pool's key.
// Touched by the one render thread only.
class HLRenderCache
{
public:
    // Makes the picture; a null picture when there is none (the renderer draws its black
    // barrier in its place).
    using Task = std::function<Picture()>;

    // Nothing for a missing render item or one whose resource has no hash ID.
    static std::shared_ptr<HLRenderCache> renderCacheOf(const std::shared_ptr<HLRenderItem> &renderItem);
    // The pool key of a render item: its resource's hash ID and the placement.
    static QString cacheIDOf(const HLRenderItem &renderItem);

    // Whether this entry needs a new task instead of the old entry's picture: it is dirty, new,
    // of a newer edit generation, or a clip at another time.
    bool isDifferentVideoCache(const HLRenderCache *old) const;
    // Takes over the old entry's task and picture.
    void keepTheSameContent(const HLRenderCache &old);
    // A new pending task; the picture is dropped.
    void updateRenderTask(Task task);
    // The picture, running the pending task first. A task that made nothing leaves a null
    // picture; "what the hell" when the entry was never given a task.
    Picture cacheContent();

    QString strHashID() const { return m_strHashID; }
    QString strCacheID() const { return m_strCacheID; }
    std::shared_ptr<HLRenderItem> oRenderItem() const { return m_oRenderItem; }
    // The renderer's own reason to redo the picture (another frame size or mode).
    bool bIsCacheDirty() const { return m_bIsCacheDirty; }
    void setBIsCacheDirty(bool dirty) { m_bIsCacheDirty = dirty; }
    // The edit generation of what the picture shows (the render item's and its slide frame's).
    quint64 iGeneration() const { return m_iGeneration; }
    void setIGeneration(quint64 generation) { m_iGeneration = generation; }
    void setBIsResourceVideo(bool video) { m_bIsResourceVideo = video; }
    bool bIsResidentVideo() const { return m_bIsResidentVideo; }
    void setBIsResidentVideo(bool resident) { m_bIsResidentVideo = resident; }
    // The clip time of the frame, in media ticks.
    qint64 dLastRenderTime() const { return m_dLastRenderTime; }
    void setDLastRenderTime(qint64 time) { m_dLastRenderTime = time; }

private:
    QString m_strHashID;
    QString m_strCacheID;
    // Held so that no other render item can take this one's address (and key) while the entry lives.
    std::shared_ptr<HLRenderItem> m_oRenderItem;
    Task m_blkTask;
    Picture m_oCache;
    bool m_bHasRun = false;
    bool m_bIsCacheDirty = false;
    quint64 m_iGeneration = 0;
    bool m_bIsResourceVideo = false;
    bool m_bIsResidentVideo = false;
    qint64 m_dLastRenderTime = 0;
};
