#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class HLAudioItem;
class HLKeyedUnarchiver;
class HLResourceItem;
class HLResourcePool;

// The project's music track: clips in line order. Play type 0 lays them end to end from 0
// and repeats the whole line; play type 1 keeps the range set for each clip.
class HLAudiolineItem : public HLCoding
{
public:
    using ItemBlock = std::function<void(const std::shared_ptr<HLAudioItem> &item)>;
    using Items = std::vector<std::shared_ptr<HLAudioItem>>;

    static std::shared_ptr<HLAudiolineItem> audioline();

    void add(const std::vector<std::shared_ptr<HLResourceItem>> &resources);
    // New clips before the clip target (at the end when there is none), continuing from the
    // clip before them.
    void add(const std::vector<std::shared_ptr<HLResourceItem>> &resources, const QString &target);
    void move(const QString &identifier, const QString &target);
    void remove(const QString &identifier);
    void arrange();
    QString audioItemIDAt(qint64 index) const;
    std::shared_ptr<HLAudioItem> audioItemOf(const QString &identifier) const;
    std::vector<std::shared_ptr<HLResourceItem>> resourceItems() const;
    QStringList resourceHashIDs() const;
    QStringList resourceResourceIDs() const;

    void update(float time);
    // The load window at time: each clip goes to didLoad (inside, loaded), toLoad (inside,
    // not loaded) or toUnload (outside, loaded); null blocks are skipped.
    void update(float time, const ItemBlock &didLoad, const ItemBlock &toLoad, const ItemBlock &toUnload);
    float repeatDuration() const;
    // The cycle the player wraps its time by; 0 when the line does not repeat.
    float repeatPlayingMode() const;
    Items loadedAudioItems() const;

    // Saving: copies every clip's resource into pool, then turns the identifiers persistent.
    void duplicateResourcesTo(const std::shared_ptr<HLResourcePool> &pool) const;
    void makeResourcesPersistent();

    float dNowTime() const { return m_dNowTime; }
    void setDNowTime(float time) { m_dNowTime = time; }
    const Items &aryItems() const { return m_aryItems; }
    void setAryItems(const Items &items) { m_aryItems = items; }
    qint64 enType() const { return m_enType; }
    // Ignored unless 0 or 1, the play types the archive holds.
    void setEnType(qint64 type)
    {
        if (type == 0 || type == 1)
            m_enType = type;
    }

    QString className() const override { return QStringLiteral("HLAudiolineItem"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    static std::shared_ptr<HLAudiolineItem> initWithCoder(HLKeyedUnarchiver &coder);
    // Registers the line and everything it archives.
    static void registerCoding();

    std::shared_ptr<HLAudioItem> p_itemOf(const QString &identifier) const;
    std::size_t p_indexOf(const QString &identifier) const;
    template <class Result>
    std::vector<Result> p_enumAllBy(const std::function<bool(const HLAudioItem &)> &filter,
                                    const std::function<Result(const std::shared_ptr<HLAudioItem> &)> &map) const
    {
        std::vector<Result> results;
        for (const auto &item : std::as_const(m_aryItems)) {
            if (filter(*item))
                results.push_back(map(item));
        }
        return results;
    }

private:
    // The play head moves on the main thread while the preview renders: read without the gate.
    std::atomic<float> m_dNowTime = 0;
    Items m_aryItems;
    qint64 m_enType = 0;
};
