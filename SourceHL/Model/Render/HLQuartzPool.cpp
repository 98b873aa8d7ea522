#include "SourceHL/Model/Render/HLQuartzPool.h"

#include "Platform/Composer/Composition.h"
#include "Platform/Composer/SlideTiming.h"
#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLPropertyList.h"
#include "Platform/Foundation/HLPropertyListError.h"
#include "SourceHL/Model/Timeline/HLQuartzKeys.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QtDebug>

#include <mutex>

namespace {

std::mutex &registryLock()
{
    static std::mutex lock;
    return lock;
}

QHash<QString, std::shared_ptr<HLQuartzPool>> &registry()
{
    static QHash<QString, std::shared_ptr<HLQuartzPool>> pools;
    return pools;
}

void reportFailure(const QString &what)
{
    qWarning().noquote() << QStringLiteral("Failed In %1").arg(what);
}

} // namespace

QString HLQuartzPool::p_quartzKey(HLRenderType type)
{
    switch (type) {
    case HLRenderTypeSlideshow: return QStringLiteral("Slideshow");
    case HLRenderTypeTransition: return QStringLiteral("Transition");
    case HLRenderTypeText: return QStringLiteral("Text");
    default: return {};
    }
}

std::shared_ptr<HLQuartzPool> HLQuartzPool::quartzPoolOf(HLRenderType type)
{
    const QString key = p_quartzKey(type);
    HL_ASSERT(!key.isEmpty(), "wrong type");
    std::lock_guard lock(registryLock());
    auto &pool = registry()[key];
    if (!pool)
        pool.reset(new HLQuartzPool(type));
    return pool;
}

void HLQuartzPool::setupOf(const QString &folder, HLRenderType type)
{
    const std::shared_ptr<HLQuartzPool> pool = quartzPoolOf(type);
    if (pool->m_aryItems)
        return;
    auto items = p_quartzItemsOf(type, folder);
    if (!items.isEmpty())
        pool->m_aryItems = std::move(items);
}

QList<std::shared_ptr<const HLQuartzItem>> HLQuartzPool::p_quartzItemsOf(HLRenderType type, const QString &folder)
{
    QList<std::shared_ptr<const HLQuartzItem>> result;
    // Name order, not the file system's: the list, its random picks and duplicate lookups are then
    // the same on every machine.
    const QDir kindDir(folder);
    for (const QString &entry : kindDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir dir(kindDir.filePath(entry));
        for (const QString &file : dir.entryList(QDir::Files, QDir::Name)) {
            if (QFileInfo(file).suffix() != kPlistFileType)
                continue;
            QVariantMap info;
            try {
                info = HLPropertyList::readDictionary(dir.filePath(file));
            } catch (const HLPropertyListError &) {
                continue; // not a property list of ours
            }
            const QString contentName = HLPropertyList::string(info, kQuartzKeyName);
            const QString indexName = HLPropertyList::string(info, kQuartzKeyIndex);
            const QString thumbName = HLPropertyList::string(info, kQuartzKeyThumbName);
            const SlideTiming timing = SlideTiming::fromInfo(info);

            QString error;
            const auto content = contentName.isEmpty()
                                     ? nullptr
                                     : Composition::load(dir.filePath(contentName), timing, &error);
            const QImage thumb = thumbName.isEmpty() ? QImage() : QImage(dir.filePath(thumbName));
            if (!content || thumb.isNull()) {
                reportFailure(content ? dir.filePath(contentName) + QStringLiteral(" (thumbnail)")
                                      : dir.filePath(file) + QStringLiteral(": ") + error);
                continue;
            }
            // A slideshow without a working index composition would leave its slides empty for
            // ever: derive the indexes from what the main composition draws.
            std::shared_ptr<const Composition> indexes;
            if (!indexName.isEmpty())
                indexes = Composition::load(dir.filePath(indexName), timing, &error);
            if (!indexes && type == HLRenderTypeSlideshow)
                indexes = content->indexComposition();

            const QString name = QFileInfo(contentName).completeBaseName();
            info.insert(kQuartzKeyName, name);
            info.insert(kQuartzKeyThumbName, thumb);
            result.append(std::make_shared<HLQuartzItem>(type, name, content, indexes, thumb, info));
        }
    }
    return result;
}

QStringList HLQuartzPool::quartzNames() const
{
    QStringList names;
    if (m_aryItems)
        for (const auto &item : *m_aryItems)
            names.append(item->strName());
    return names;
}

std::shared_ptr<const HLQuartzItem> HLQuartzPool::quartzOf(const QString &name) const
{
    if (m_aryItems)
        for (const auto &item : *m_aryItems)
            if (item->strName() == name)
                return item;
    return nullptr;
}

std::optional<QVariantMap> HLQuartzPool::infoDicOf(const QString &name) const
{
    const auto item = quartzOf(name);
    return item ? std::optional<QVariantMap>(item->dicInfo()) : std::nullopt;
}

std::optional<QVariantMap> HLQuartzPool::randomInfoDic() const
{
    const QStringList names = quartzNames();
    if (names.isEmpty())
        return std::nullopt;
    return infoDicOf(names.at(int(QRandomGenerator::global()->generate() % quint32(names.size()))));
}
