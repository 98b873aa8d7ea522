#pragma once

#include "Platform/Foundation/HLCoding.h"
#include "SourceHL/Model/Timeline/ResourceRenderRange.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>

class HLBackEditSlideshow;
class HLKeyedUnarchiver;
class HLRenderEditSlideshow;
class HLRenderItem;
class HLResourceItem;
class HLSlideshowInfo;
class HLTransitionInfo;

// Keys of the per-picture info dictionaries of slideshowInfos().
inline const QString kInfoKeySIHasID = QStringLiteral("HashID");
inline const QString kInfoKeySIThumb = QStringLiteral("Thumb");
inline const QString kInfoKeySIIsVid = QStringLiteral("IsVideo");

// One segment of the timeline: a group of render items played through one slideshow
// template, then one transition template into the next segment. It maps liquid time
// (timeline seconds, local to the segment) onto solid time (the template's own seconds).
// A segment of exactly one picture is special: shown as it is, for the clip's trimmed
// length or the display length.
class HLSlideshowItem : public HLCoding
{
public:
    using RenderItems = QList<std::shared_ptr<HLRenderItem>>;
    using IndexSet = std::set<std::size_t>;

    // Null when the id is empty or a dictionary is no template of its kind.
    static std::shared_ptr<HLSlideshowItem> slideshowItemOf(const QString &ssid, const QVariantMap &slideshow,
                                                            const QVariantMap &transition);

    // Id, template names, frame and background edits, lengths and the transition flag; the
    // render items are not compared.
    bool isEqual(const HLSlideshowItem &other) const;
    // Shares the render items and descriptors, copies the edits.
    std::shared_ptr<HLSlideshowItem> copy() const;

    // A new slideshow template; display length, animation length and frame flags reset to it.
    void updateSlideshow(const QVariantMap &info);
    // A new transition template; the transition length stays.
    void updateTransition(const QVariantMap &info);

    void add(const RenderItems &items);
    // Before the item with hash key before, or at the end for an empty key ("wrong hashID"
    // when no item has it).
    void insert(const RenderItems &items, const QString &before);
    void move(const QStringList &hashIDs, const QString &before);
    void remove(const QStringList &hashIDs);

    QList<QVariantMap> slideshowInfos() const;
    RenderItems renderItems() const { return m_mtAryItems; }
    QList<std::shared_ptr<HLResourceItem>> resourceItems() const;
    QStringList resourceHashIDs() const;
    QStringList resourceResourceIDs() const;
    RenderItems renderItemsOf(const QStringList &hashIDs) const;
    QList<std::shared_ptr<HLResourceItem>> resourceItemsOf(const QStringList &hashIDs) const;
    RenderItems antiRenderItemsOf(const QStringList &hashIDs) const;
    QList<std::shared_ptr<HLResourceItem>> antiResourceItemsOf(const QStringList &hashIDs) const;

    bool isSpecial() const;
    std::size_t logicItemsCount() const;
    IndexSet logicResourceVideoIndexSet() const;
    std::shared_ptr<HLRenderItem> logicRenderItemAt(std::size_t index) const;
    std::shared_ptr<HLResourceItem> logicResourceItemAt(std::size_t index) const;
    // The stretch of local time in which the clip at index plays (zero length for a photo).
    ResourceRenderRange resourceRenderRangeAt(std::size_t index) const;

    float duration() const;
    float slideshowDuration() const;
    float transitionDuration() const;
    bool isInTransitionAt(float time) const;
    // Time to prepare the next segment.
    bool isNeedToPreloadAt(float time) const;
    // Template (solid) time of a local (liquid) time.
    float slideshowMetaTimeAt(float time) const;
    // Transition progress, 0 until the end of the slideshow part, 1 at the end of the transition.
    float transitionMetaTimeAt(float time) const;
    // Position of a local time in picture units and transition progress, given to block.
    void slideshowQuaryAt(float time, const std::function<void(float position, float progress)> &block) const;
    // Local time of a position and transition progress.
    float slideshowOffsetOf(float position, float progress) const;

    // The newest edit generation of the frame edit and of the listed render items: a picture
    // drawn from them at an older generation is stale.
    quint64 renderGenerationOf(const IndexSet &indexes) const;
    void makeRenderItemsDirty(const IndexSet &indexes);
    // Hash keys of the resources whose preview or source is loaded.
    QStringList loadedResourceHashIDs() const;

    QString strSSID() const { return m_strSSID; }
    // Ignored when empty.
    void setStrSSID(const QString &ssid);
    RenderItems mtAryItems() const { return m_mtAryItems; }
    void setMtAryItems(const RenderItems &items) { m_mtAryItems = items; }
    std::shared_ptr<HLSlideshowInfo> oSlideshowInfo() const { return m_oSlideshowInfo; }
    void setOSlideshowInfo(const std::shared_ptr<HLSlideshowInfo> &info) { m_oSlideshowInfo = info; }
    std::shared_ptr<HLTransitionInfo> oTransitionInfo() const { return m_oTransitionInfo; }
    void setOTransitionInfo(const std::shared_ptr<HLTransitionInfo> &info) { m_oTransitionInfo = info; }
    std::shared_ptr<HLRenderEditSlideshow> oRenderEdit() const { return m_oRenderEdit; }
    void setORenderEdit(const std::shared_ptr<HLRenderEditSlideshow> &edit) { m_oRenderEdit = edit; }
    std::shared_ptr<HLBackEditSlideshow> oBackEdit() const { return m_oBackEdit; }
    void setOBackEdit(const std::shared_ptr<HLBackEditSlideshow> &edit) { m_oBackEdit = edit; }
    float dSlideshowDisplay() const { return m_dSlideshowDisplay; }
    // Ignored unless above 0 and finite, as the archive holds it.
    void setDSlideshowDisplay(float display);
    float dSlideshowAnimate() const { return m_dSlideshowAnimate; }
    // Finite; a negative length is taken as 0.
    void setDSlideshowAnimate(float animate);
    float dTransition() const { return m_dTransition; }
    // Finite; a negative length is taken as 0.
    void setDTransition(float transition);
    bool bHasTransition() const { return m_bHasTransition; }
    void setBHasTransition(bool hasTransition) { m_bHasTransition = hasTransition; }

    QString className() const override { return QStringLiteral("HLSlideshowItem"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Refuses an empty id and lengths that are no number; display and animation lengths must
    // be positive, the transition not negative.
    static std::shared_ptr<HLSlideshowItem> initWithCoder(HLKeyedUnarchiver &coder);

private:
    void p_updateSlideshow(const QVariantMap &info, bool reset);
    void p_updateTransition(const QVariantMap &info, bool reset);
    std::optional<std::size_t> p_realIndexOf(const QString &hashID) const;
    std::size_t p_targetIndexOf(const QString &before) const;
    float p_slideshowLiquidDuration() const;
    std::optional<std::size_t> p_indexForLiquidTime(float time) const;
    float p_liquid_D_at(std::size_t index) const;
    float p_liquid_T_at(std::size_t index) const;
    float p_liquid_S_at(std::size_t index) const;
    float p_solid_D_at(std::size_t index) const;
    float p_solid_T_at(std::size_t index) const;
    float p_solid_S_at(std::size_t index) const;
    // Stretch of the template's standard animation to the animation length.
    float p_animateScale() const;

    QString m_strSSID;
    RenderItems m_mtAryItems;
    std::shared_ptr<HLSlideshowInfo> m_oSlideshowInfo;
    std::shared_ptr<HLTransitionInfo> m_oTransitionInfo;
    std::shared_ptr<HLRenderEditSlideshow> m_oRenderEdit;
    std::shared_ptr<HLBackEditSlideshow> m_oBackEdit;
    float m_dSlideshowDisplay = 4.0f;
    float m_dSlideshowAnimate = 0;
    float m_dTransition = 0;
    bool m_bHasTransition = false;
};
