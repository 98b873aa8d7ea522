#pragma once

#include "SourceHL/Model/Timeline/HLSlideshowItem.h"

#include <QList>
#include <QString>
#include <QVariantList>

#include <memory>

class HLRenderCache;

// What a frame needs of a slideshow item: the picture entries of a set of its item indexes, and
// the "Images" input of its slideshow template.
class HLSlideshowItemRenderCache
{
public:
    // One new entry per render item of the set's indexes (ascending), in order of first
    // appearance, at the item's local time.
    static QList<std::shared_ptr<HLRenderCache>> renderCachesAt(const HLSlideshowItem &item, float time,
                                                                const HLSlideshowItem::IndexSet &indexes);
    // One map per item index holding, under key, the entry's strCacheID when the index is in
    // the set, else an empty value.
    static QVariantList renderImages(const HLSlideshowItem &item, const QString &key,
                                     const HLSlideshowItem::IndexSet &indexes);
};
