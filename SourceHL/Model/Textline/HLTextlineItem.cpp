#include "SourceHL/Model/Textline/HLTextlineItem.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLCodingRegistry.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextInfo.h"
#include "SourceHL/Model/Textline/HLTextItem.h"

#include <QSet>

#include <algorithm>
#include <utility>

namespace {

const QString kNSCodingItems = QStringLiteral("kNSCodingItems");

// Strip points between a title and the one it was pushed behind.
constexpr double kArrangeGap = 0.01;

} // namespace

std::shared_ptr<HLTextlineItem> HLTextlineItem::textline()
{
    return std::make_shared<HLTextlineItem>();
}

void HLTextlineItem::registerCoding()
{
    HLCodingRegistry::registerClass<HLTextEdit>(QStringLiteral("HLTextEdit"));
    HLCodingRegistry::registerClass<HLTextInfo>(QStringLiteral("HLTextInfo"));
    HLCodingRegistry::registerClass<HLTextItem>(QStringLiteral("HLTextItem"));
    HLCodingRegistry::registerClass<HLTextlineItem>(QStringLiteral("HLTextlineItem"));
}

void HLTextlineItem::setupTimeMap(const LineTimeMap &map)
{
    m_blkLineTimeMap = map;
}

void HLTextlineItem::add(const std::shared_ptr<HLTextItem> &item)
{
    HL_ASSERT(item, "wrong para");
    std::lock_guard lock(m_mutex);
    m_mtAryItems.append(item);
    p_arrangeWith(item.get());
}

void HLTextlineItem::remove(const QString &ttid)
{
    std::lock_guard lock(m_mutex);
    const qsizetype index = p_indexOf(ttid);
    if (index >= 0)
        m_mtAryItems.removeAt(index);
}

void HLTextlineItem::syncPlayTime()
{
    // A line decoded or made without its owner's map has no way to know the times yet.
    if (!m_blkLineTimeMap)
        return;
    for (const auto &item : aryItems()) {
        const float start = m_blkLineTimeMap(item->dLineMin());
        const float end = m_blkLineTimeMap(item->dLineMax());
        item->updatePlayMin(start, end);
    }
}

void HLTextlineItem::update(float time)
{
    m_dNowTime = time;
}

std::shared_ptr<HLTextItem> HLTextlineItem::textItemAt(float time) const
{
    std::lock_guard lock(m_mutex);
    for (const auto &item : std::as_const(m_mtAryItems)) {
        if (item->dPlayMin() <= time && time < item->dPlayMax())
            return item;
    }
    return nullptr;
}

std::shared_ptr<HLTextItem> HLTextlineItem::textItemOf(const QString &ttid) const
{
    HL_ASSERT(!ttid.isNull(), "wrong para");
    std::lock_guard lock(m_mutex);
    return p_textItemOf(ttid);
}

float HLTextlineItem::textOffsetOf(const HLTextItem &item) const
{
    return item.dPlayMin();
}

HLTextlineItem::Items HLTextlineItem::textItemsAfter(float time) const
{
    std::lock_guard lock(m_mutex);
    Items after;
    for (const auto &item : std::as_const(m_mtAryItems)) {
        if (item->dPlayMin() > time)
            after.append(item);
    }
    return after;
}

float HLTextlineItem::lastLineMaxOf(const QString &ttid) const
{
    HL_ASSERT(!ttid.isNull(), "wrong para");
    std::lock_guard lock(m_mutex);
    const qsizetype index = p_indexOf(ttid);
    if (index <= 0)
        return 0;
    return m_mtAryItems[index - 1]->dLineMax();
}

float HLTextlineItem::nextLineMinOf(const QString &ttid) const
{
    HL_ASSERT(!ttid.isNull(), "wrong para");
    std::lock_guard lock(m_mutex);
    const qsizetype index = p_indexOf(ttid);
    if (index < 0 || index + 1 >= m_mtAryItems.size())
        return kNoNextLineMin;
    return m_mtAryItems[index + 1]->dLineMin();
}

void HLTextlineItem::textItemReMin(const QString &ttid, float min, float max)
{
    HL_ASSERT(!ttid.isNull(), "wrong para");
    std::lock_guard lock(m_mutex);
    if (const auto item = p_textItemOf(ttid))
        item->updateLineMin(min, max);
}

void HLTextlineItem::textItemReStart(const QString &ttid, float start)
{
    HL_ASSERT(!ttid.isNull(), "wrong para");
    std::lock_guard lock(m_mutex);
    const auto item = p_textItemOf(ttid);
    if (item)
        item->updateLineMin(start, start + item->lineDuration());
    p_arrangeWith(item.get());
}

HLTextlineItem::Items HLTextlineItem::aryItems() const
{
    std::lock_guard lock(m_mutex);
    return m_mtAryItems;
}

void HLTextlineItem::p_arrangeWith(const HLTextItem *changed)
{
    // Stable, so titles with equal starts keep their order unless one is the changed one.
    std::stable_sort(m_mtAryItems.begin(), m_mtAryItems.end(), [changed](const auto &a, const auto &b) {
        if (a->dLineMin() != b->dLineMin())
            return a->dLineMin() < b->dLineMin();
        return a.get() == changed && b.get() != changed;
    });
    float previousEnd = 0;
    for (const auto &item : std::as_const(m_mtAryItems)) {
        if (previousEnd >= item->dLineMin()) {
            const float length = item->lineDuration();
            const float start = float(previousEnd + kArrangeGap);
            item->updateLineMin(start, start + length);
        }
        previousEnd = item->dLineMax();
    }
}

std::shared_ptr<HLTextItem> HLTextlineItem::p_textItemOf(const QString &ttid) const
{
    const qsizetype index = p_indexOf(ttid);
    return index < 0 ? nullptr : m_mtAryItems[index];
}

qsizetype HLTextlineItem::p_indexOf(const QString &ttid) const
{
    for (qsizetype i = 0; i < m_mtAryItems.size(); ++i) {
        if (m_mtAryItems[i]->strTTID() == ttid)
            return i;
    }
    return -1;
}

void HLTextlineItem::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeObjectArray(kNSCodingItems, aryItems());
}

std::shared_ptr<HLTextlineItem> HLTextlineItem::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto line = textline();
    QSet<QString> ids;
    for (auto &item : coder.decodeObjectArray<HLTextItem>(kNSCodingItems)) {
        // Lookups by id would only ever find the first of two.
        if (ids.contains(item->strTTID()))
            throw HLArchiveError(QStringLiteral("%1: title \"%2\" twice").arg(kNSCodingItems, item->strTTID()));
        ids.insert(item->strTTID());
        line->m_mtAryItems.append(std::move(item));
    }
    return line;
}
