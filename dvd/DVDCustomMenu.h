#pragma once

#include "Frameworks/Trevanel/DVDMenuPage.h"
#include "Platform/Foundation/HLAtomicProperty.h"

#include <memory>
#include <vector>

class DVDMenuVideo;
class ZKSegmentMovie;

// The menu page handed to the disc framework: a finished picture shown for the menu's
// length, its buttons and its music.
class DVDCustomMenu : public DVDMenuPage, public std::enable_shared_from_this<DVDCustomMenu>
{
public:
    double duration() const override { return m_duration.get(); }
    void setDuration(double seconds) { m_duration.set(seconds); }
    qint64 aspectType() const override { return m_aspectType.get(); }
    void setAspectType(qint64 type) { m_aspectType.set(type); }
    QSizeF menuSize() const override { return m_menuSize.get(); }
    void setMenuSize(QSizeF size) { m_menuSize.set(size); }
    QImage menuImage() const { return m_menuImage.get(); }
    void setMenuImage(const QImage &image) { m_menuImage.set(image); }
    std::shared_ptr<ZKSegmentMovie> music() const { return m_music.get(); }
    void setMusic(std::shared_ptr<ZKSegmentMovie> music) { m_music.set(std::move(music)); }
    std::vector<std::shared_ptr<DVDMenuElement>> items() const override { return m_items.get(); }
    void setItems(std::vector<std::shared_ptr<DVDMenuElement>> items) { m_items.set(std::move(items)); }

    // The menu picture, whatever the time.
    QImage imageAtTime(qint64 time) const override;
    // One new motion-video source of this page, with no sound yet.
    std::vector<std::shared_ptr<DVDMenuVideo>> vcmovies();

private:
    HLAtomicProperty<double> m_duration;
    HLAtomicProperty<qint64> m_aspectType;
    HLAtomicProperty<QSizeF> m_menuSize;
    HLAtomicProperty<QImage> m_menuImage;
    HLAtomicProperty<std::shared_ptr<ZKSegmentMovie>> m_music;
    HLAtomicProperty<std::vector<std::shared_ptr<DVDMenuElement>>> m_items;
};
