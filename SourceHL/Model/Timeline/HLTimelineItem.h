#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <atomic>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

class HLKeyedUnarchiver;
class HLRenderItem;
class HLResourceItem;
class HLResourcePool;
class HLSlideshowItem;

// Keys of the per-slideshow-item info dictionaries of timelineInfos().
inline const QString kInfoKeyTIHashID = QStringLiteral("HashID");
inline const QString kInfoKeyTICounts = QStringLiteral("Counts");
inline const QString kInfoKeyTISlDura = QStringLiteral("SlideshowDuration");
inline const QString kInfoKeyTISlName = QStringLiteral("SlideshowName");
inline const QString kInfoKeyTISlThum = QStringLiteral("SlideshowThumb");
inline const QString kInfoKeyTITrDura = QStringLiteral("TransitionDuration");
inline const QString kInfoKeyTITrName = QStringLiteral("TransitionName");
inline const QString kInfoKeyTITrThum = QStringLiteral("TransitionThumb");

// The project's picture timeline: slideshow items in play order, each a group of render
// items played through a slideshow template and followed by a transition. Every structural
// edit keeps two rules: no slideshow item without render items, and every item but the last
// plays its transition. Plain data, changed on the main thread only.
class HLTimelineItem : public HLCoding
{
public:
    using SlideshowItems = QList<std::shared_ptr<HLSlideshowItem>>;
    using ResourceItems = QList<std::shared_ptr<HLResourceItem>>;
    // Answers a template info dictionary; an empty one when it has none.
    using TemplateBlock = std::function<QVariantMap()>;

    // iMode render items per new slideshow item; 0 puts one insertion into one item.
    static std::shared_ptr<HLTimelineItem> timelineOf(quint64 mode);
    // Registers every class a timeline archive holds with the keyed archive.
    static void registerCoding();

    void setupSlideshow(const TemplateBlock &slideshow, const TemplateBlock &transition);

    // Edits. Those that make slideshow items change nothing and answer false when a template
    // callback is missing or answers no template of its kind.
    // New render items grouped into new slideshow items before target (at the end for an
    // empty id); a target that names nothing is "wrong index".
    bool addOutTo(const ResourceItems &resources, const QString &target);
    // New render items added to slideshow item ssid, before the render item before.
    void addInTo(const ResourceItems &resources, const QString &ssid, const QString &before);
    // Render items moved from source into slideshow item target before the render item
    // before (reordered when source and target are one). Refused (false, nothing changed)
    // when source or target names no slideshow item.
    bool moveInTo(const QStringList &hashIDs, const QString &source, const QString &target, const QString &before);
    // Render items taken out of source into new slideshow items before target (at the end
    // when target names nothing).
    bool moveOutTo(const QStringList &hashIDs, const QString &source, const QString &target);
    // Whole slideshow items moved before target (at the end when target names nothing).
    void move(const QStringList &ssids, const QString &target);
    void removeFrom(const QStringList &hashIDs, const QString &ssid);
    void remove(const QStringList &ssids);
    // Every render item regrouped into new slideshow items by the current mode.
    bool reset();
    void applySlideshowDisplayToAll(float display);
    void applySlideshowAnimateToAll(float animate);
    void applyTransitionDurationToAll(float transition);
    void applyTransitionInfoToAll(const QVariantMap &info);

    // Recomputes dDuration and keeps time inside [0, dDuration] as dNowTime.
    void update(float time);
    // The play length the slideshow items add up to now (dDuration holds it as of the last
    // update). Writes nothing, so a renderer may ask it while the play step updates.
    float currentDuration() const;
    std::shared_ptr<HLSlideshowItem> slideshowItemAt(float time) const;
    std::shared_ptr<HLSlideshowItem> nextSlideshowItemAt(float time) const;
    std::shared_ptr<HLSlideshowItem> slideshowItemOf(const QString &ssid) const;
    // Start time on the timeline; 0 for an item that is not in it.
    float slideshowOffsetOf(const std::shared_ptr<HLSlideshowItem> &item) const;
    qint64 slideshowItemsCount() const;

    QList<QVariantMap> timelineInfos() const;
    QList<std::shared_ptr<HLRenderItem>> renderItemsOf(const QStringList &hashIDs) const;
    ResourceItems resourceItems() const;
    QStringList resourceHashIDs() const;
    QStringList resourceResourceIDs() const;
    ResourceItems resourceItemsOf(const QStringList &hashIDs) const;
    ResourceItems backResourceItems() const;
    QStringList backResourceHashIDs() const;
    QStringList backResourceResourceIDs() const;
    // Gives back what render items that are not listed keep loaded.
    void syncLoad(const QStringList &hashIDs);
    QStringList loadedResourceHashIDs() const;

    // Saving: every resource folder copied into first, or where it refuses, into second;
    // then every identifier made persistent.
    void duplicateResourcesTo(const std::shared_ptr<HLResourcePool> &first,
                              const std::shared_ptr<HLResourcePool> &second) const;
    void makeResourcesPersistent();

    quint64 iMode() const { return m_iMode; }
    // Ignored beyond what the archive's signed integer holds.
    void setIMode(quint64 mode)
    {
        if (mode <= quint64(std::numeric_limits<qint64>::max()))
            m_iMode = mode;
    }
    float dDuration() const { return m_dDuration; }
    void setDDuration(float duration) { m_dDuration = duration; }
    float dNowTime() const { return m_dNowTime; }
    void setDNowTime(float time) { m_dNowTime = time; }
    SlideshowItems mtAryItems() const { return m_mtAryItems; }
    void setMtAryItems(const SlideshowItems &items) { m_mtAryItems = items; }
    SlideshowItems aryItems() const { return m_mtAryItems; }
    TemplateBlock blkSlideshow() const { return m_blkSlideshow; }
    TemplateBlock blkTransition() const { return m_blkTransition; }

    QString className() const override { return QStringLiteral("HLTimelineItem"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Mends what a damaged file can leave (empty slideshow items, wrong transition flags, a
    // duration that is no number) and refuses two slideshow items with one id.
    static std::shared_ptr<HLTimelineItem> initWithCoder(HLKeyedUnarchiver &coder);

private:
    QList<std::shared_ptr<HLRenderItem>> p_renderItemsOf(const ResourceItems &resources) const;
    std::optional<SlideshowItems> p_slideshowItemsOf(const QList<std::shared_ptr<HLRenderItem>> &items) const;
    std::shared_ptr<HLSlideshowItem> p_newSlideshowItem() const;
    QVariantMap p_randomSlideshowInfo() const;
    QVariantMap p_randomTransitionInfo() const;
    std::shared_ptr<HLSlideshowItem> p_slideshowOf(const QString &ssid) const;
    std::optional<qsizetype> p_indexOf(const QString &ssid) const;
    void p_adjustTimeline();

    // The play head moves on the main thread while the preview renders: read without the gate.
    std::atomic<float> m_dDuration = 0;
    std::atomic<float> m_dNowTime = 0;
    SlideshowItems m_mtAryItems;
    TemplateBlock m_blkSlideshow;
    TemplateBlock m_blkTransition;
    quint64 m_iMode = 0;
};
