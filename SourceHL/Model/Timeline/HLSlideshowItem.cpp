#include "SourceHL/Model/Timeline/HLSlideshowItem.h"

#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Common/HLListEdit.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"

#include <algorithm>
#include <cmath>
#include <utility>

std::shared_ptr<HLSlideshowItem> HLSlideshowItem::slideshowItemOf(const QString &ssid, const QVariantMap &slideshow,
                                                                  const QVariantMap &transition)
{
    if (ssid.isEmpty() || !HLSlideshowInfo::slideshowInfoOf(slideshow)
        || !HLTransitionInfo::transitionInfoOf(transition))
        return nullptr;
    auto item = std::make_shared<HLSlideshowItem>();
    item->m_strSSID = ssid;
    item->m_oRenderEdit = HLRenderEditSlideshow::renderEdit();
    item->m_oBackEdit = HLBackEditSlideshow::backEdit();
    item->p_updateSlideshow(slideshow, true);
    item->p_updateTransition(transition, true);
    return item;
}

bool HLSlideshowItem::isEqual(const HLSlideshowItem &other) const
{
    if (this == &other)
        return true;
    return m_strSSID == other.m_strSSID && m_oSlideshowInfo->strName() == other.m_oSlideshowInfo->strName()
           && m_oTransitionInfo->strName() == other.m_oTransitionInfo->strName()
           && m_oRenderEdit->isEqual(*other.m_oRenderEdit) && m_oBackEdit->isEqual(*other.m_oBackEdit)
           && m_dSlideshowDisplay == other.m_dSlideshowDisplay && m_dSlideshowAnimate == other.m_dSlideshowAnimate
           && m_dTransition == other.m_dTransition && m_bHasTransition == other.m_bHasTransition;
}

std::shared_ptr<HLSlideshowItem> HLSlideshowItem::copy() const
{
    auto item = std::make_shared<HLSlideshowItem>();
    item->m_strSSID = m_strSSID;
    item->m_mtAryItems = m_mtAryItems;
    item->m_oSlideshowInfo = m_oSlideshowInfo;
    item->m_oTransitionInfo = m_oTransitionInfo;
    item->m_oRenderEdit = m_oRenderEdit->copy();
    item->m_oBackEdit = m_oBackEdit->copy();
    item->m_dSlideshowDisplay = m_dSlideshowDisplay;
    item->m_dSlideshowAnimate = m_dSlideshowAnimate;
    item->m_dTransition = m_dTransition;
    item->m_bHasTransition = m_bHasTransition;
    return item;
}

void HLSlideshowItem::updateSlideshow(const QVariantMap &info)
{
    p_updateSlideshow(info, true);
}

void HLSlideshowItem::updateTransition(const QVariantMap &info)
{
    p_updateTransition(info, false);
}

void HLSlideshowItem::p_updateSlideshow(const QVariantMap &info, bool reset)
{
    auto descriptor = HLSlideshowInfo::slideshowInfoOf(info);
    if (!descriptor)
        return;
    m_oSlideshowInfo = descriptor;
    if (!reset)
        return;
    m_dSlideshowDisplay = 4.0f;
    m_dSlideshowAnimate = descriptor->dDuration_T();
    const bool border = descriptor->bPreferBorder();
    const bool back = descriptor->bPreferBack();
    // Only a change is an edit: an unchanged frame must not hide an edit still waiting to be drawn.
    if (m_oRenderEdit->bImageBorder() != border || m_oRenderEdit->bImageBackground() != back)
        m_oRenderEdit->makeDirty();
    m_oRenderEdit->setBImageBorder(border);
    m_oRenderEdit->setBImageBackground(back);
}

void HLSlideshowItem::p_updateTransition(const QVariantMap &info, bool reset)
{
    auto descriptor = HLTransitionInfo::transitionInfoOf(info);
    if (!descriptor)
        return;
    m_oTransitionInfo = descriptor;
    if (reset)
        m_dTransition = descriptor->dBestDuration();
}

// Editing the list --------------------------------------------------------------------------

std::optional<std::size_t> HLSlideshowItem::p_realIndexOf(const QString &hashID) const
{
    HL_ASSERT(!hashID.isEmpty(), "wrong para");
    for (qsizetype i = 0; i < m_mtAryItems.size(); ++i) {
        if (m_mtAryItems[i]->oResource()->strHashID() == hashID)
            return std::size_t(i);
    }
    return std::nullopt;
}

std::size_t HLSlideshowItem::p_targetIndexOf(const QString &before) const
{
    if (before.isEmpty())
        return logicItemsCount();
    const auto index = p_realIndexOf(before);
    HL_ASSERT(index.has_value(), "wrong hashID");
    return *index;
}

void HLSlideshowItem::add(const RenderItems &items)
{
    insert(items, QString());
}

void HLSlideshowItem::insert(const RenderItems &items, const QString &before)
{
    const std::size_t index = p_targetIndexOf(before);
    if (!items.isEmpty() && isSpecial())
        makeRenderItemsDirty({0});
    insertItems(m_mtAryItems, items, index);
    if (isSpecial())
        makeRenderItemsDirty({0});
}

void HLSlideshowItem::move(const QStringList &hashIDs, const QString &before)
{
    const std::size_t target = p_targetIndexOf(before);
    std::vector<std::size_t> indexes;
    for (qsizetype i = 0; i < m_mtAryItems.size(); ++i) {
        if (hashIDs.contains(m_mtAryItems[i]->oResource()->strHashID()))
            indexes.push_back(std::size_t(i));
    }
    moveItems(m_mtAryItems, indexes, target);
}

void HLSlideshowItem::remove(const QStringList &hashIDs)
{
    m_mtAryItems.removeIf([&](const std::shared_ptr<HLRenderItem> &item) {
        return hashIDs.contains(item->oResource()->strHashID());
    });
    if (isSpecial())
        makeRenderItemsDirty({0});
}

// Enumerations ------------------------------------------------------------------------------

QList<QVariantMap> HLSlideshowItem::slideshowInfos() const
{
    QList<QVariantMap> infos;
    for (const auto &item : std::as_const(m_mtAryItems)) {
        const auto resource = item->oResource();
        QImage thumb = resource->imageThumbnail();
        if (thumb.isNull())
            thumb = resource->videoThumbnail();
        infos.append(QVariantMap{
            {kInfoKeySIHasID, resource->strHashID()},
            {kInfoKeySIThumb, thumb},
            {kInfoKeySIIsVid, resource->isVideo()},
        });
    }
    return infos;
}

QList<std::shared_ptr<HLResourceItem>> HLSlideshowItem::resourceItems() const
{
    QList<std::shared_ptr<HLResourceItem>> resources;
    for (const auto &item : std::as_const(m_mtAryItems))
        resources.append(item->oResource());
    return resources;
}

QStringList HLSlideshowItem::resourceHashIDs() const
{
    QStringList hashIDs;
    for (const auto &item : std::as_const(m_mtAryItems))
        hashIDs.append(item->oResource()->strHashID());
    return hashIDs;
}

QStringList HLSlideshowItem::resourceResourceIDs() const
{
    QStringList resourceIDs;
    for (const auto &item : std::as_const(m_mtAryItems))
        resourceIDs.append(item->oResource()->strResourceID());
    return resourceIDs;
}

HLSlideshowItem::RenderItems HLSlideshowItem::renderItemsOf(const QStringList &hashIDs) const
{
    RenderItems items;
    for (const auto &item : std::as_const(m_mtAryItems)) {
        if (hashIDs.contains(item->oResource()->strHashID()))
            items.append(item);
    }
    return items;
}

QList<std::shared_ptr<HLResourceItem>> HLSlideshowItem::resourceItemsOf(const QStringList &hashIDs) const
{
    QList<std::shared_ptr<HLResourceItem>> resources;
    for (const auto &item : renderItemsOf(hashIDs))
        resources.append(item->oResource());
    return resources;
}

HLSlideshowItem::RenderItems HLSlideshowItem::antiRenderItemsOf(const QStringList &hashIDs) const
{
    RenderItems items;
    for (const auto &item : std::as_const(m_mtAryItems)) {
        if (!hashIDs.contains(item->oResource()->strHashID()))
            items.append(item);
    }
    return items;
}

QList<std::shared_ptr<HLResourceItem>> HLSlideshowItem::antiResourceItemsOf(const QStringList &hashIDs) const
{
    QList<std::shared_ptr<HLResourceItem>> resources;
    for (const auto &item : antiRenderItemsOf(hashIDs))
        resources.append(item->oResource());
    return resources;
}

bool HLSlideshowItem::isSpecial() const
{
    return logicItemsCount() == 1;
}

std::size_t HLSlideshowItem::logicItemsCount() const
{
    return std::size_t(m_mtAryItems.size());
}

HLSlideshowItem::IndexSet HLSlideshowItem::logicResourceVideoIndexSet() const
{
    IndexSet indexes;
    for (std::size_t i = 0; i < logicItemsCount(); ++i) {
        if (m_mtAryItems[qsizetype(i)]->oResource()->isVideo())
            indexes.insert(i);
    }
    return indexes;
}

std::shared_ptr<HLRenderItem> HLSlideshowItem::logicRenderItemAt(std::size_t index) const
{
    HL_ASSERT(index < logicItemsCount(), "wrong index");
    return m_mtAryItems[qsizetype(index)];
}

std::shared_ptr<HLResourceItem> HLSlideshowItem::logicResourceItemAt(std::size_t index) const
{
    return logicRenderItemAt(index)->oResource();
}

// Timing ------------------------------------------------------------------------------------

float HLSlideshowItem::p_solid_T_at(std::size_t index) const
{
    const std::size_t count = logicItemsCount();
    if (index == 0)
        return m_oSlideshowInfo->dDuration_T_S();
    if (index == count - 1)
        return count == 2 ? m_oSlideshowInfo->dDuration_T_B_2() : m_oSlideshowInfo->dDuration_T_B();
    if (index == 1)
        return m_oSlideshowInfo->dDuration_T_A();
    return m_oSlideshowInfo->dDuration_T();
}

float HLSlideshowItem::p_solid_S_at(std::size_t) const
{
    return m_oSlideshowInfo->dDuration_S();
}

float HLSlideshowItem::p_animateScale() const
{
    // A template without a standard animation has nothing to stretch against.
    const float standard = m_oSlideshowInfo->dDuration_T();
    return standard > 0 ? m_dSlideshowAnimate / standard : 1.0f;
}

float HLSlideshowItem::p_liquid_T_at(std::size_t index) const
{
    return p_solid_T_at(index) * p_animateScale();
}

float HLSlideshowItem::p_liquid_S_at(std::size_t index) const
{
    return m_dSlideshowDisplay + m_mtAryItems[qsizetype(index)]->renderDisplayDuration();
}

float HLSlideshowItem::p_liquid_D_at(std::size_t index) const
{
    HL_ASSERT(index < logicItemsCount(), "wrong index");
    return p_liquid_T_at(index) + p_liquid_S_at(index);
}

float HLSlideshowItem::p_solid_D_at(std::size_t index) const
{
    HL_ASSERT(index < logicItemsCount(), "wrong index");
    return p_solid_T_at(index) + p_solid_S_at(index);
}

float HLSlideshowItem::p_slideshowLiquidDuration() const
{
    float sum = 0;
    for (std::size_t i = 0; i < logicItemsCount(); ++i)
        sum += p_liquid_D_at(i);
    return sum;
}

std::optional<std::size_t> HLSlideshowItem::p_indexForLiquidTime(float time) const
{
    if (!(time >= 0))
        return std::nullopt;
    float start = 0;
    for (std::size_t i = 0; i < logicItemsCount(); ++i) {
        const float end = start + p_liquid_D_at(i);
        if (start <= time && time <= end)
            return i;
        start = end;
    }
    return std::nullopt;
}

float HLSlideshowItem::slideshowDuration() const
{
    if (isSpecial()) {
        const auto &item = m_mtAryItems.first();
        return item->oResource()->isVideo() ? item->renderDisplayDuration() : m_dSlideshowDisplay;
    }
    return p_slideshowLiquidDuration();
}

float HLSlideshowItem::transitionDuration() const
{
    return m_bHasTransition ? m_dTransition : 0.0f;
}

float HLSlideshowItem::duration() const
{
    return slideshowDuration() + transitionDuration();
}

bool HLSlideshowItem::isInTransitionAt(float time) const
{
    return time > slideshowDuration();
}

bool HLSlideshowItem::isNeedToPreloadAt(float time) const
{
    if (!m_bHasTransition)
        return false;
    return double(time) + double(m_dSlideshowDisplay) * 0.6 > double(slideshowDuration());
}

float HLSlideshowItem::slideshowMetaTimeAt(float time) const
{
    if (isSpecial())
        return time;
    if (!(time > 0))
        time = 0;
    time = std::min(time, p_slideshowLiquidDuration());
    const auto index = p_indexForLiquidTime(time);
    HL_ASSERT(index.has_value(), "wrong para");
    const std::size_t i = *index;

    float liquidBefore = 0;
    float solidBefore = 0;
    for (std::size_t j = 0; j < i; ++j) {
        liquidBefore += p_liquid_D_at(j);
        solidBefore += p_solid_D_at(j);
    }
    float local = time - liquidBefore;
    const float liquidT = p_liquid_T_at(i);
    const float liquidS = p_liquid_S_at(i);
    const float solidT = p_solid_T_at(i);
    const float solidS = p_solid_S_at(i);

    if (local < liquidT)
        return solidBefore + (local / liquidT) * solidT;

    local -= liquidT;
    const float base = solidBefore + solidT;
    if (liquidS > m_dSlideshowDisplay) {
        // A clip plays in the still phase: the template holds at its middle meanwhile.
        if (!(m_dSlideshowDisplay > 0))
            return base + (local < liquidS ? 0.5f : 1.0f) * solidS;
        const float half = float(double(m_dSlideshowDisplay) * 0.5);
        const float holdEnd = liquidS - half;
        float held;
        if (local <= half)
            held = local;
        else if (local <= holdEnd)
            held = half;
        else
            held = half + local - holdEnd;
        return base + (held / m_dSlideshowDisplay) * solidS;
    }
    if (!(liquidS > 0))
        return base + solidS;
    return base + (local / liquidS) * solidS;
}

float HLSlideshowItem::transitionMetaTimeAt(float time) const
{
    const float slideshow = slideshowDuration();
    if (!(m_dTransition > 0))
        return time > slideshow ? 1.0f : 0.0f;
    return (std::min(std::max(time, slideshow), slideshow + m_dTransition) - slideshow) / m_dTransition;
}

ResourceRenderRange HLSlideshowItem::resourceRenderRangeAt(std::size_t index) const
{
    HL_ASSERT(index < logicItemsCount(), "wrong index");
    if (isSpecial())
        return makeResourceRenderRange(0, slideshowDuration());
    float start = float(double(p_liquid_T_at(index)) + double(m_dSlideshowDisplay) * 0.5);
    for (std::size_t j = 0; j < index; ++j)
        start += p_liquid_D_at(j);
    return makeResourceRenderRange(start, start + m_mtAryItems[qsizetype(index)]->renderDisplayDuration());
}

void HLSlideshowItem::slideshowQuaryAt(float time, const std::function<void(float, float)> &block) const
{
    const auto part = [](float quotient) { return std::isnan(quotient) ? 1.0f : std::min(1.0f, quotient); };
    float position = 0;
    float progress = 0;
    if (isSpecial()) {
        const float slideshow = slideshowDuration();
        position = part(time / slideshow);
        time -= slideshow;
    } else {
        for (std::size_t i = 0; i < logicItemsCount() && time > 0; ++i) {
            const float length = p_liquid_D_at(i);
            position += part(time / length);
            time -= length;
        }
    }
    if (time > 0 && m_bHasTransition)
        progress = part(time / m_dTransition);
    if (block)
        block(position, progress);
}

float HLSlideshowItem::slideshowOffsetOf(float position, float progress) const
{
    HL_ASSERT(std::isfinite(position) && std::isfinite(progress), "wrong para");
    float offset = 0;
    if (isSpecial()) {
        offset = slideshowDuration() * position;
    } else {
        // Compared as a float: a huge position must reach "wrong index", not overflow a count.
        const float cells = std::ceil(position);
        for (std::size_t i = 0; float(i) < cells; ++i)
            offset += p_liquid_D_at(i) * (std::min(position, float(i + 1)) - float(i));
    }
    if (m_bHasTransition)
        offset += m_dTransition * progress;
    return offset;
}

// Dirty marks and loading --------------------------------------------------------------------

quint64 HLSlideshowItem::renderGenerationOf(const IndexSet &indexes) const
{
    quint64 generation = m_oRenderEdit->iDirtyGeneration();
    for (const std::size_t index : indexes) {
        if (index < logicItemsCount())
            generation = std::max(generation, m_mtAryItems[qsizetype(index)]->iDirtyGeneration());
    }
    return generation;
}

void HLSlideshowItem::makeRenderItemsDirty(const IndexSet &indexes)
{
    for (const std::size_t index : indexes) {
        if (index < logicItemsCount())
            m_mtAryItems[qsizetype(index)]->makeDirty();
    }
}

QStringList HLSlideshowItem::loadedResourceHashIDs() const
{
    QStringList hashIDs;
    for (const auto &item : std::as_const(m_mtAryItems)) {
        const auto resource = item->oResource();
        if (resource->bLoadPreview() || resource->bLoadSource())
            hashIDs.append(resource->strHashID());
    }
    return hashIDs;
}

// Archive -----------------------------------------------------------------------------------

// The archive's domains, kept by the setters too, so a saved item always opens again.

void HLSlideshowItem::setStrSSID(const QString &ssid)
{
    if (!ssid.isEmpty())
        m_strSSID = ssid;
}

void HLSlideshowItem::setDSlideshowDisplay(float display)
{
    if (display > 0 && std::isfinite(display))
        m_dSlideshowDisplay = display;
}

void HLSlideshowItem::setDSlideshowAnimate(float animate)
{
    if (std::isfinite(animate))
        m_dSlideshowAnimate = std::max(animate, 0.0f);
}

void HLSlideshowItem::setDTransition(float transition)
{
    if (std::isfinite(transition))
        m_dTransition = std::max(transition, 0.0f);
}

void HLSlideshowItem::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeString(QStringLiteral("kNSCodingSSID"), m_strSSID);
    coder.encodeObjectArray(QStringLiteral("kNSCodingItems"), m_mtAryItems);
    coder.encodeObject(QStringLiteral("kNSCodingSlideshowInfo"), m_oSlideshowInfo);
    coder.encodeObject(QStringLiteral("kNSCodingTransitionInfo"), m_oTransitionInfo);
    coder.encodeObject(QStringLiteral("kNSCodingRenderEdit"), m_oRenderEdit);
    coder.encodeObject(QStringLiteral("kNSCodingBackEdit"), m_oBackEdit);
    coder.encodeFloat(QStringLiteral("kNSCodingSlideshowDisplay"), m_dSlideshowDisplay);
    coder.encodeFloat(QStringLiteral("kNSCodingSlideshowAnimate"), m_dSlideshowAnimate);
    coder.encodeFloat(QStringLiteral("kNSCodingTransition"), m_dTransition);
    coder.encodeBool(QStringLiteral("kNSCodingHasTransition"), m_bHasTransition);
}

std::shared_ptr<HLSlideshowItem> HLSlideshowItem::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto item = std::make_shared<HLSlideshowItem>();
    item->m_strSSID = coder.decodeString(QStringLiteral("kNSCodingSSID"));
    if (item->m_strSSID.isEmpty())
        throw HLArchiveError(QStringLiteral("HLSlideshowItem: kNSCodingSSID is empty"));
    for (auto &renderItem : coder.decodeObjectArray<HLRenderItem>(QStringLiteral("kNSCodingItems")))
        item->m_mtAryItems.append(std::move(renderItem));
    item->m_oSlideshowInfo = coder.decodeObject<HLSlideshowInfo>(QStringLiteral("kNSCodingSlideshowInfo"));
    item->m_oTransitionInfo = coder.decodeObject<HLTransitionInfo>(QStringLiteral("kNSCodingTransitionInfo"));
    item->m_oRenderEdit = coder.decodeObject<HLRenderEditSlideshow>(QStringLiteral("kNSCodingRenderEdit"));
    item->m_oBackEdit = coder.decodeObject<HLBackEditSlideshow>(QStringLiteral("kNSCodingBackEdit"));
    item->m_dSlideshowDisplay = coder.decodeFiniteFloat(QStringLiteral("kNSCodingSlideshowDisplay"));
    item->m_dSlideshowAnimate = coder.decodeFiniteFloat(QStringLiteral("kNSCodingSlideshowAnimate"));
    item->m_dTransition = coder.decodeFiniteFloat(QStringLiteral("kNSCodingTransition"));
    item->m_bHasTransition = coder.decodeBool(QStringLiteral("kNSCodingHasTransition"));
    if (!(item->m_dSlideshowDisplay > 0))
        throw HLArchiveError(QStringLiteral("HLSlideshowItem: kNSCodingSlideshowDisplay is no positive length"));
    item->m_dSlideshowAnimate = std::max(item->m_dSlideshowAnimate, 0.0f);
    item->m_dTransition = std::max(item->m_dTransition, 0.0f);
    return item;
}
