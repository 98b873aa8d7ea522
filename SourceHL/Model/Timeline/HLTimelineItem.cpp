#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLCodingRegistry.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Common/HLListEdit.h"
#include "SourceHL/Common/HLMachTime.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// A picture in another slideshow item is drawn in that item's frame: an edit for the renderers.
void markMoved(const QList<std::shared_ptr<HLRenderItem>> &items)
{
    for (const auto &item : items)
        item->makeDirty();
}

} // namespace

std::shared_ptr<HLTimelineItem> HLTimelineItem::timelineOf(quint64 mode)
{
    auto timeline = std::make_shared<HLTimelineItem>();
    timeline->m_iMode = mode;
    return timeline;
}

void HLTimelineItem::registerCoding()
{
    HLResourceItem::registerCoding();
    HLCodingRegistry::registerClass<HLRenderEditTrim>(QStringLiteral("HLRenderEditTrim"));
    HLCodingRegistry::registerClass<HLRenderEditCrop>(QStringLiteral("HLRenderEditCrop"));
    HLCodingRegistry::registerClass<HLRenderEditRotate>(QStringLiteral("HLRenderEditRotate"));
    HLCodingRegistry::registerClass<HLRenderEditEffect>(QStringLiteral("HLRenderEditEffect"));
    HLCodingRegistry::registerClass<HLRenderEditSlideshow>(QStringLiteral("HLRenderEditSlideshow"));
    HLCodingRegistry::registerClass<HLBackEditSlideshow>(QStringLiteral("HLBackEditSlideshow"));
    HLCodingRegistry::registerClass<HLSlideshowInfo>(QStringLiteral("HLSlideshowInfo"));
    HLCodingRegistry::registerClass<HLTransitionInfo>(QStringLiteral("HLTransitionInfo"));
    HLCodingRegistry::registerClass<HLRenderItem>(QStringLiteral("HLRenderItem"));
    HLCodingRegistry::registerClass<HLSlideshowItem>(QStringLiteral("HLSlideshowItem"));
    HLCodingRegistry::registerClass<HLTimelineItem>(QStringLiteral("HLTimelineItem"));
}

void HLTimelineItem::setupSlideshow(const TemplateBlock &slideshow, const TemplateBlock &transition)
{
    m_blkSlideshow = slideshow;
    m_blkTransition = transition;
}

// Building new items ------------------------------------------------------------------------

QList<std::shared_ptr<HLRenderItem>> HLTimelineItem::p_renderItemsOf(const ResourceItems &resources) const
{
    QList<std::shared_ptr<HLRenderItem>> items;
    for (const auto &resource : resources) {
        if (auto item = HLRenderItem::renderItemOf(resource))
            items.append(std::move(item));
    }
    return items;
}

QVariantMap HLTimelineItem::p_randomSlideshowInfo() const
{
    return m_blkSlideshow ? m_blkSlideshow() : QVariantMap();
}

QVariantMap HLTimelineItem::p_randomTransitionInfo() const
{
    return m_blkTransition ? m_blkTransition() : QVariantMap();
}

std::shared_ptr<HLSlideshowItem> HLTimelineItem::p_newSlideshowItem() const
{
    const QString ssid = HLMachTime::machTimeID();
    const QVariantMap slideshow = p_randomSlideshowInfo();
    const QVariantMap transition = p_randomTransitionInfo();
    return HLSlideshowItem::slideshowItemOf(ssid, slideshow, transition);
}

std::optional<HLTimelineItem::SlideshowItems>
HLTimelineItem::p_slideshowItemsOf(const QList<std::shared_ptr<HLRenderItem>> &items) const
{
    // All or nothing: a missing template leaves the render items where they were.
    SlideshowItems slideshowItems;
    if (m_iMode == 0) {
        auto slideshowItem = p_newSlideshowItem();
        if (!slideshowItem)
            return std::nullopt;
        slideshowItem->add(items);
        slideshowItems.append(std::move(slideshowItem));
        return slideshowItems;
    }
    const quint64 count = quint64(items.size());
    for (quint64 start = 0; start < count;) {
        const quint64 length = std::min(m_iMode, count - start);
        auto slideshowItem = p_newSlideshowItem();
        if (!slideshowItem)
            return std::nullopt;
        slideshowItem->add(items.mid(qsizetype(start), qsizetype(length)));
        slideshowItems.append(std::move(slideshowItem));
        start += length;
    }
    return slideshowItems;
}

// Lookups -----------------------------------------------------------------------------------

std::optional<qsizetype> HLTimelineItem::p_indexOf(const QString &ssid) const
{
    if (ssid.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < m_mtAryItems.size(); ++i) {
        if (m_mtAryItems[i]->strSSID() == ssid)
            return i;
    }
    return std::nullopt;
}

std::shared_ptr<HLSlideshowItem> HLTimelineItem::p_slideshowOf(const QString &ssid) const
{
    const auto index = p_indexOf(ssid);
    return index ? m_mtAryItems[*index] : nullptr;
}

std::shared_ptr<HLSlideshowItem> HLTimelineItem::slideshowItemOf(const QString &ssid) const
{
    return p_slideshowOf(ssid);
}

void HLTimelineItem::p_adjustTimeline()
{
    m_mtAryItems.removeIf([](const std::shared_ptr<HLSlideshowItem> &item) { return item->logicItemsCount() == 0; });
    for (const auto &item : std::as_const(m_mtAryItems))
        item->setBHasTransition(true);
    if (!m_mtAryItems.isEmpty())
        m_mtAryItems.last()->setBHasTransition(false);
}

float HLTimelineItem::currentDuration() const
{
    float duration = 0;
    for (const auto &item : std::as_const(m_mtAryItems))
        duration += item->duration();
    return duration;
}

// Edits -------------------------------------------------------------------------------------

bool HLTimelineItem::addOutTo(const ResourceItems &resources, const QString &target)
{
    if (resources.isEmpty())
        return true;
    auto items = p_slideshowItemsOf(p_renderItemsOf(resources));
    if (!items)
        return false;
    qsizetype index = m_mtAryItems.size();
    if (!target.isEmpty())
        index = p_indexOf(target).value_or(m_mtAryItems.size() + 1);
    insertItems(m_mtAryItems, *items, std::size_t(index));
    p_adjustTimeline();
    update(m_dNowTime);
    return true;
}

void HLTimelineItem::addInTo(const ResourceItems &resources, const QString &ssid, const QString &before)
{
    if (resources.isEmpty())
        return;
    if (auto item = p_slideshowOf(ssid))
        item->insert(p_renderItemsOf(resources), before);
    update(m_dNowTime);
}

bool HLTimelineItem::moveInTo(const QStringList &hashIDs, const QString &source, const QString &target,
                              const QString &before)
{
    auto from = p_slideshowOf(source);
    if (!from)
        return false;
    if (source == target) {
        from->move(hashIDs, before);
        return true;
    }
    auto to = p_slideshowOf(target);
    if (!to)
        return false;
    const auto items = from->renderItemsOf(hashIDs);
    // Insert first: a wrong before-key is refused while the items are still in the source.
    to->insert(items, before);
    from->remove(hashIDs);
    markMoved(items);
    p_adjustTimeline();
    update(m_dNowTime);
    return true;
}

bool HLTimelineItem::moveOutTo(const QStringList &hashIDs, const QString &source, const QString &target)
{
    auto from = p_slideshowOf(source);
    const auto items = from ? from->renderItemsOf(hashIDs) : QList<std::shared_ptr<HLRenderItem>>();
    auto slideshowItems = p_slideshowItemsOf(items);
    if (!slideshowItems)
        return false;
    if (from)
        from->remove(hashIDs);
    markMoved(items);
    const qsizetype index = p_indexOf(target).value_or(m_mtAryItems.size());
    insertItems(m_mtAryItems, *slideshowItems, std::size_t(index));
    p_adjustTimeline();
    update(m_dNowTime);
    return true;
}

void HLTimelineItem::move(const QStringList &ssids, const QString &target)
{
    std::vector<std::size_t> indexes;
    for (const QString &ssid : ssids) {
        if (const auto index = p_indexOf(ssid))
            indexes.push_back(std::size_t(*index));
    }
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    const qsizetype to = p_indexOf(target).value_or(m_mtAryItems.size());
    moveItems(m_mtAryItems, indexes, std::size_t(to));
    p_adjustTimeline();
    update(m_dNowTime);
}

void HLTimelineItem::removeFrom(const QStringList &hashIDs, const QString &ssid)
{
    if (auto item = p_slideshowOf(ssid))
        item->remove(hashIDs);
    p_adjustTimeline();
    update(m_dNowTime);
}

void HLTimelineItem::remove(const QStringList &ssids)
{
    m_mtAryItems.removeIf(
        [&](const std::shared_ptr<HLSlideshowItem> &item) { return ssids.contains(item->strSSID()); });
    p_adjustTimeline();
    update(m_dNowTime);
}

bool HLTimelineItem::reset()
{
    QList<std::shared_ptr<HLRenderItem>> items;
    for (const auto &item : std::as_const(m_mtAryItems))
        items.append(item->renderItems());
    if (items.isEmpty())
        return true;
    auto slideshowItems = p_slideshowItemsOf(items);
    if (!slideshowItems)
        return false;
    m_mtAryItems = *slideshowItems;
    p_adjustTimeline();
    return true;
}

void HLTimelineItem::applySlideshowDisplayToAll(float display)
{
    HL_ASSERT(display > 0, "bad para");
    for (const auto &item : std::as_const(m_mtAryItems))
        item->setDSlideshowDisplay(display);
}

void HLTimelineItem::applySlideshowAnimateToAll(float animate)
{
    HL_ASSERT(animate > 0, "bad para");
    for (const auto &item : std::as_const(m_mtAryItems))
        item->setDSlideshowAnimate(animate);
}

void HLTimelineItem::applyTransitionDurationToAll(float transition)
{
    HL_ASSERT(transition > 0, "bad para");
    for (const auto &item : std::as_const(m_mtAryItems))
        item->setDTransition(transition);
}

void HLTimelineItem::applyTransitionInfoToAll(const QVariantMap &info)
{
    HL_ASSERT(!info.isEmpty(), "bad para");
    for (const auto &item : std::as_const(m_mtAryItems))
        item->updateTransition(info);
}

// Time --------------------------------------------------------------------------------------

void HLTimelineItem::update(float time)
{
    const float duration = currentDuration();
    m_dDuration = duration;
    m_dNowTime = time > 0 ? std::min(time, duration) : 0.0f;
}

std::shared_ptr<HLSlideshowItem> HLTimelineItem::slideshowItemAt(float time) const
{
    if (m_mtAryItems.isEmpty())
        return nullptr;
    float start = 0;
    for (const auto &item : std::as_const(m_mtAryItems)) {
        const float end = start + item->duration();
        if (start <= time && time < end)
            return item;
        start = end;
    }
    return m_mtAryItems.last();
}

std::shared_ptr<HLSlideshowItem> HLTimelineItem::nextSlideshowItemAt(float time) const
{
    const auto item = slideshowItemAt(time);
    if (!item || item == m_mtAryItems.last())
        return nullptr;
    return m_mtAryItems[m_mtAryItems.indexOf(item) + 1];
}

float HLTimelineItem::slideshowOffsetOf(const std::shared_ptr<HLSlideshowItem> &item) const
{
    if (!item)
        return 0;
    float offset = 0;
    for (const auto &each : std::as_const(m_mtAryItems)) {
        if (each->isEqual(*item))
            return offset;
        offset += each->duration();
    }
    return 0;
}

qint64 HLTimelineItem::slideshowItemsCount() const
{
    return m_mtAryItems.size();
}

// Views and resources -----------------------------------------------------------------------

QList<QVariantMap> HLTimelineItem::timelineInfos() const
{
    QList<QVariantMap> infos;
    for (const auto &item : std::as_const(m_mtAryItems)) {
        infos.append(QVariantMap{
            {kInfoKeyTIHashID, item->strSSID()},
            {kInfoKeyTICounts, qulonglong(item->logicItemsCount())},
            {kInfoKeyTISlDura, item->slideshowDuration()},
            {kInfoKeyTISlName, item->oSlideshowInfo()->strName()},
            {kInfoKeyTISlThum, item->oSlideshowInfo()->imgThumb()},
            {kInfoKeyTITrDura, item->transitionDuration()},
            {kInfoKeyTITrName, item->oTransitionInfo()->strName()},
            {kInfoKeyTITrThum, item->oTransitionInfo()->imgThumb()},
        });
    }
    return infos;
}

QList<std::shared_ptr<HLRenderItem>> HLTimelineItem::renderItemsOf(const QStringList &hashIDs) const
{
    QList<std::shared_ptr<HLRenderItem>> items;
    for (const auto &item : std::as_const(m_mtAryItems))
        items.append(item->renderItemsOf(hashIDs));
    return items;
}

HLTimelineItem::ResourceItems HLTimelineItem::resourceItems() const
{
    ResourceItems resources;
    for (const auto &item : std::as_const(m_mtAryItems))
        resources.append(item->resourceItems());
    return resources;
}

QStringList HLTimelineItem::resourceHashIDs() const
{
    QStringList hashIDs;
    for (const auto &item : std::as_const(m_mtAryItems))
        hashIDs.append(item->resourceHashIDs());
    return hashIDs;
}

QStringList HLTimelineItem::resourceResourceIDs() const
{
    QStringList resourceIDs;
    for (const auto &item : std::as_const(m_mtAryItems))
        resourceIDs.append(item->resourceResourceIDs());
    return resourceIDs;
}

HLTimelineItem::ResourceItems HLTimelineItem::resourceItemsOf(const QStringList &hashIDs) const
{
    ResourceItems resources;
    for (const auto &item : std::as_const(m_mtAryItems))
        resources.append(item->resourceItemsOf(hashIDs));
    return resources;
}

HLTimelineItem::ResourceItems HLTimelineItem::backResourceItems() const
{
    ResourceItems resources;
    for (const auto &item : std::as_const(m_mtAryItems)) {
        if (auto back = item->oBackEdit()->oBack())
            resources.append(std::move(back));
    }
    return resources;
}

QStringList HLTimelineItem::backResourceHashIDs() const
{
    QStringList hashIDs;
    for (const auto &resource : backResourceItems())
        hashIDs.append(resource->strHashID());
    return hashIDs;
}

QStringList HLTimelineItem::backResourceResourceIDs() const
{
    QStringList resourceIDs;
    for (const auto &resource : backResourceItems())
        resourceIDs.append(resource->strResourceID());
    return resourceIDs;
}

void HLTimelineItem::syncLoad(const QStringList &hashIDs)
{
    for (const auto &item : std::as_const(m_mtAryItems)) {
        for (const auto &renderItem : item->antiRenderItemsOf(hashIDs))
            renderItem->releaseLoaded();
    }
}

QStringList HLTimelineItem::loadedResourceHashIDs() const
{
    QStringList hashIDs;
    for (const auto &item : std::as_const(m_mtAryItems))
        hashIDs.append(item->loadedResourceHashIDs());
    return hashIDs;
}

// Saving ------------------------------------------------------------------------------------

void HLTimelineItem::duplicateResourcesTo(const std::shared_ptr<HLResourcePool> &first,
                                          const std::shared_ptr<HLResourcePool> &second) const
{
    const QStringList resourceIDs = resourceResourceIDs() + backResourceResourceIDs();
    for (const QString &resourceID : resourceIDs) {
        if (!HLResourcePool::duplicateResource(resourceID, first))
            HLResourcePool::duplicateResource(resourceID, second);
    }
}

void HLTimelineItem::makeResourcesPersistent()
{
    const ResourceItems resources = resourceItems() + backResourceItems();
    for (const auto &resource : resources)
        resource->updateResourceID(HLResourcePool::makeKeyPersistent(resource->strResourceID()));
}

// Archive -----------------------------------------------------------------------------------

void HLTimelineItem::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeInt64(QStringLiteral("kNSCodingMode"), qint64(m_iMode));
    coder.encodeFloat(QStringLiteral("kNSCodingDuration"), m_dDuration);
    coder.encodeObjectArray(QStringLiteral("kNSCodingItems"), m_mtAryItems);
}

std::shared_ptr<HLTimelineItem> HLTimelineItem::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto timeline = std::make_shared<HLTimelineItem>();
    const qint64 mode = coder.decodeInt64(QStringLiteral("kNSCodingMode"));
    if (mode < 0)
        throw HLArchiveError(QStringLiteral("HLTimelineItem: kNSCodingMode is negative"));
    timeline->m_iMode = quint64(mode);
    timeline->m_dDuration = coder.decodeFloat(QStringLiteral("kNSCodingDuration"));
    QSet<QString> ssids;
    for (auto &item : coder.decodeObjectArray<HLSlideshowItem>(QStringLiteral("kNSCodingItems"))) {
        if (ssids.contains(item->strSSID()))
            throw HLArchiveError(QStringLiteral("HLTimelineItem: slideshow item %1 appears twice").arg(item->strSSID()));
        ssids.insert(item->strSSID());
        timeline->m_mtAryItems.append(std::move(item));
    }
    timeline->p_adjustTimeline();
    if (const float duration = timeline->m_dDuration; !std::isfinite(duration) || duration < 0)
        timeline->m_dDuration = timeline->currentDuration();
    return timeline;
}
