#pragma once

#include "SourceHL/Model/Render/HLQuartzItem.h"
#include "SourceHL/Model/Render/HLRenderType.h"

#include <QList>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <optional>

// The templates of one kind, loaded once at start-up from a kind folder of "Templates" and then
// only read (from the main thread, the preview worker and the export thread).
class HLQuartzPool
{
public:
    // Loads the pool of the kind from the folder, once; an empty folder leaves it unloaded.
    static void setupOf(const QString &folder, HLRenderType type);
    // The shared pool of kind 0, 2 or 3, made empty on first request.
    static std::shared_ptr<HLQuartzPool> quartzPoolOf(HLRenderType type);
    // "Slideshow", "Transition", "Text"; empty for other kinds.
    static QString p_quartzKey(HLRenderType type);
    // The templates under a kind folder, in name order. A template whose composition or thumbnail
    // fails is logged as "Failed In <composition>" and left out.
    static QList<std::shared_ptr<const HLQuartzItem>> p_quartzItemsOf(HLRenderType type, const QString &folder);

    QStringList quartzNames() const;
    std::shared_ptr<const HLQuartzItem> quartzOf(const QString &name) const;
    std::optional<QVariantMap> infoDicOf(const QString &name) const;
    std::optional<QVariantMap> randomInfoDic() const;

    HLRenderType enType() const { return m_enType; }
    // Absent until the pool has loaded.
    const std::optional<QList<std::shared_ptr<const HLQuartzItem>>> &aryItems() const { return m_aryItems; }

private:
    explicit HLQuartzPool(HLRenderType type) : m_enType(type) {}

    HLRenderType m_enType;
    std::optional<QList<std::shared_ptr<const HLQuartzItem>>> m_aryItems;
};
