#include "SourceHL/Model/Audioline/HLAudiolineItem.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLCodingRegistry.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Common/HLListEdit.h"
#include "SourceHL/Common/HLMachTime.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"

#include <QSet>

#include <utility>

namespace {

bool any(const HLAudioItem &)
{
    return true;
}

} // namespace

std::shared_ptr<HLAudiolineItem> HLAudiolineItem::audioline()
{
    return std::make_shared<HLAudiolineItem>();
}

void HLAudiolineItem::add(const std::vector<std::shared_ptr<HLResourceItem>> &resources)
{
    add(resources, QString());
}

void HLAudiolineItem::add(const std::vector<std::shared_ptr<HLResourceItem>> &resources, const QString &target)
{
    const std::size_t index = p_indexOf(target);
    float end = index > 0 ? m_aryItems[index - 1]->dPlayMax() : 0.0f;
    Items added;
    for (const auto &resource : resources) {
        auto item = HLAudioItem::audioItemOf(HLMachTime::machTimeID(), resource);
        if (!item)
            continue;
        item->updatePlayMin(end, end + item->dTrimDuration());
        end = item->dPlayMax();
        added.push_back(std::move(item));
    }
    if (added.empty())
        return;
    Items items = m_aryItems;
    insertItems(items, added, index);
    m_aryItems = std::move(items);
}

void HLAudiolineItem::move(const QString &identifier, const QString &target)
{
    const std::size_t from = p_indexOf(identifier);
    if (from == m_aryItems.size())
        return;
    Items items = m_aryItems;
    moveItems(items, std::vector<std::size_t>{from}, p_indexOf(target));
    m_aryItems = std::move(items);
}

void HLAudiolineItem::remove(const QString &identifier)
{
    const std::size_t index = p_indexOf(identifier);
    if (index == m_aryItems.size())
        return;
    Items items = m_aryItems;
    items.erase(items.begin() + qsizetype(index));
    m_aryItems = std::move(items);
}

void HLAudiolineItem::arrange()
{
    if (m_enType != 0)
        return;
    float end = 0;
    for (const auto &item : std::as_const(m_aryItems)) {
        item->updatePlayMin(end, end + item->dTrimDuration());
        end = item->dPlayMax();
    }
}

QString HLAudiolineItem::audioItemIDAt(qint64 index) const
{
    if (index < 0 || std::size_t(index) >= m_aryItems.size())
        return QString();
    return m_aryItems[std::size_t(index)]->strAUID();
}

std::shared_ptr<HLAudioItem> HLAudiolineItem::audioItemOf(const QString &identifier) const
{
    return p_itemOf(identifier);
}

std::vector<std::shared_ptr<HLResourceItem>> HLAudiolineItem::resourceItems() const
{
    return p_enumAllBy<std::shared_ptr<HLResourceItem>>(any, [](const std::shared_ptr<HLAudioItem> &item) {
        return item->oResource();
    });
}

QStringList HLAudiolineItem::resourceHashIDs() const
{
    QStringList list;
    for (const auto &resource : resourceItems())
        list.append(resource->strHashID());
    return list;
}

QStringList HLAudiolineItem::resourceResourceIDs() const
{
    QStringList list;
    for (const auto &resource : resourceItems())
        list.append(resource->strResourceID());
    return list;
}

void HLAudiolineItem::update(float time)
{
    m_dNowTime = time;
}

void HLAudiolineItem::update(float time, const ItemBlock &didLoad, const ItemBlock &toLoad, const ItemBlock &toUnload)
{
    m_dNowTime = time;
    for (const auto &item : Items(m_aryItems)) {
        const bool loaded = item->didLoad();
        const bool inside = item->contains(time);
        const ItemBlock &block = inside ? (loaded ? didLoad : toLoad) : (loaded ? toUnload : ItemBlock());
        if (block)
            block(item);
    }
}

float HLAudiolineItem::repeatDuration() const
{
    if (m_enType != 0)
        return 0;
    float sum = 0;
    for (const auto &item : std::as_const(m_aryItems))
        sum += item->dTrimDuration();
    return sum;
}

float HLAudiolineItem::repeatPlayingMode() const
{
    if (m_enType != 0 || m_aryItems.empty())
        return 0;
    return m_aryItems.back()->dPlayMax();
}

HLAudiolineItem::Items HLAudiolineItem::loadedAudioItems() const
{
    return p_enumAllBy<std::shared_ptr<HLAudioItem>>(
        [](const HLAudioItem &item) { return item.didLoad(); },
        [](const std::shared_ptr<HLAudioItem> &item) { return item; });
}

void HLAudiolineItem::duplicateResourcesTo(const std::shared_ptr<HLResourcePool> &pool) const
{
    for (const QString &identifier : resourceResourceIDs())
        HLResourcePool::duplicateResource(identifier, pool);
}

void HLAudiolineItem::makeResourcesPersistent()
{
    for (const auto &resource : resourceItems())
        resource->updateResourceID(HLResourcePool::makeKeyPersistent(resource->strResourceID()));
}

void HLAudiolineItem::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeObjectArray(QStringLiteral("kNSCodingItems"), m_aryItems);
    coder.encodeInt64(QStringLiteral("kNSCodingType"), m_enType);
}

std::shared_ptr<HLAudiolineItem> HLAudiolineItem::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto line = audioline();
    line->m_aryItems = coder.decodeObjectArray<HLAudioItem>(QStringLiteral("kNSCodingItems"));
    line->m_enType = coder.decodeInt64(QStringLiteral("kNSCodingType"));
    if (line->m_enType != 0 && line->m_enType != 1)
        throw HLArchiveError(QStringLiteral("kNSCodingType: no play type %1").arg(line->m_enType));
    // Clips are found by identifier: two with the same one would shadow each other.
    QSet<QString> identifiers;
    for (const auto &item : line->m_aryItems) {
        if (identifiers.contains(item->strAUID()))
            throw HLArchiveError(QStringLiteral("kNSCodingItems: clip \"%1\" twice").arg(item->strAUID()));
        identifiers.insert(item->strAUID());
    }
    return line;
}

void HLAudiolineItem::registerCoding()
{
    HLResourceItem::registerCoding();
    HLCodingRegistry::registerClass<HLAudioEdit>(QStringLiteral("HLAudioEdit"));
    HLCodingRegistry::registerClass<HLAudioItem>(QStringLiteral("HLAudioItem"));
    HLCodingRegistry::registerClass<HLAudiolineItem>(QStringLiteral("HLAudiolineItem"));
}

std::shared_ptr<HLAudioItem> HLAudiolineItem::p_itemOf(const QString &identifier) const
{
    for (const auto &item : std::as_const(m_aryItems)) {
        if (item->strAUID() == identifier)
            return item;
    }
    return nullptr;
}

std::size_t HLAudiolineItem::p_indexOf(const QString &identifier) const
{
    for (std::size_t i = 0; i < m_aryItems.size(); ++i) {
        if (m_aryItems[i]->strAUID() == identifier)
            return i;
    }
    return m_aryItems.size();
}
