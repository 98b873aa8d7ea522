#pragma once

#include "SourceHL/Model/Timeline/HLSlideshowItem.h"

#include <QList>
#include <QStringList>

#include <memory>

class HLRenderCache;

// What a frame needs of a slideshow item: the picture entries of a set of its item indexes, and
// the "Images" input of its slideshow template.
class HLSlideshowItemRenderCache
{
public:
    // One new entry per render item of the set's indexes (ascending), in order of first
    // appearance, at the item's local time (media ticks), stamped with the edit generation it shows.
    static QList<std::shared_ptr<HLRenderCache>> renderCachesAt(const HLSlideshowItem &item, qint64 time,
                                                                const HLSlideshowItem::IndexSet &indexes);
    // One entry per item index: the strCacheID of its picture when the index is in the set,
    // else an empty string.
    static QStringList renderImages(const HLSlideshowItem &item, const HLSlideshowItem::IndexSet &indexes);
};
