#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class HLKeyedUnarchiver;
class HLTextItem;

// The project's track of titles. Titles are placed in strip positions and never overlap after
// add() or textItemReStart(); syncPlayTime() turns their line ranges into play seconds through
// the time map the owner installs. Edited on the main thread; the renderers look titles up
// from their own threads, so the title list itself is guarded (the titles are shared, so one
// taken out of the list stays valid for whoever holds it).
class HLTextlineItem : public HLCoding
{
public:
    using Items = QList<std::shared_ptr<HLTextItem>>;
    // Strip position to play seconds.
    using LineTimeMap = std::function<float(float position)>;

    // The largest finite float: nextLineMinOf() of the last title.
    static constexpr float kNoNextLineMin = 3.4028235e38f;

    // An empty text line without a time map.
    static std::shared_ptr<HLTextlineItem> textline();
    // Registers every class a text-line archive holds with the keyed archive.
    static void registerCoding();

    void setupTimeMap(const LineTimeMap &map);

    // Appends the title and arranges the line with it as the changed title.
    void add(const std::shared_ptr<HLTextItem> &item);
    // Removes the first title with that id; the line is not arranged.
    void remove(const QString &ttid);
    // Every title's play range from its line range through the time map; without a map
    // nothing changes.
    void syncPlayTime();
    void update(float time);

    // The first title with dPlayMin <= time < dPlayMax, or nullptr.
    std::shared_ptr<HLTextItem> textItemAt(float time) const;
    // The title with that id, or nullptr. A null id is "wrong para" (also for the three below).
    std::shared_ptr<HLTextItem> textItemOf(const QString &ttid) const;
    float textOffsetOf(const HLTextItem &item) const;
    // Titles with dPlayMin > time, in list order.
    Items textItemsAfter(float time) const;
    // dLineMax of the title before it; 0 for the first title or an unknown id.
    float lastLineMaxOf(const QString &ttid) const;
    // dLineMin of the title after it; kNoNextLineMin for the last title or an unknown id.
    float nextLineMinOf(const QString &ttid) const;
    // A new line range for that title (refused unless 0 <= min <= max); not arranged.
    void textItemReMin(const QString &ttid, float min, float max);
    // The title moved to start with its length kept, then the line arranged with it as the
    // changed title (an unknown id moves nothing but still arranges).
    void textItemReStart(const QString &ttid, float start);

    float dNowTime() const { return m_dNowTime; }
    // A copy of the title list.
    Items aryItems() const;

    QString className() const override { return QStringLiteral("HLTextlineItem"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Refuses two titles with one id. No time map until setupTimeMap() is called again.
    static std::shared_ptr<HLTextlineItem> initWithCoder(HLKeyedUnarchiver &coder);

private:
    // Sorts by dLineMin (changed first among equal starts) and pushes every title that does
    // not start after its predecessor's end to that end + 0.01, keeping its length.
    void p_arrangeWith(const HLTextItem *changed);
    std::shared_ptr<HLTextItem> p_textItemOf(const QString &ttid) const;
    qsizetype p_indexOf(const QString &ttid) const;

    std::atomic<float> m_dNowTime = 0;
    Items m_mtAryItems;
    LineTimeMap m_blkLineTimeMap;
    mutable std::mutex m_mutex; // guards m_mtAryItems
};
