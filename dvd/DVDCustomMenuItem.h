#pragma once

#include "Frameworks/Trevanel/DVDMenuElement.h"
#include "Platform/Foundation/HLAtomicProperty.h"

#include <atomic>
#include <memory>

class DVDChapterVideoProtocol;

// A menu button handed to the disc framework: its area on the menu (y up), the chapter it
// plays (not owned: the chapter owns its buttons) and its picture.
class DVDCustomMenuItem : public DVDMenuElement
{
public:
    bool isText() const { return m_isText; }
    void setIsText(bool value) { m_isText = value; }
    double textSourceBackgroundRadius() const override { return m_textSourceBackgroundRadius; }
    void setTextSourceBackgroundRadius(double value) { m_textSourceBackgroundRadius = value; }
    std::shared_ptr<DVDChapterVideoProtocol> jump() const override { return m_jump.get().lock(); }
    void setJump(const std::shared_ptr<DVDChapterVideoProtocol> &chapter) { m_jump.set(chapter); }
    QRectF frame() const override { return m_frame.get(); }
    void setFrame(const QRectF &frame) { m_frame.set(frame); }
    QImage itemImage() const { return m_itemImage.get(); }
    void setItemImage(const QImage &image) { m_itemImage.set(image); }

    double rotation() const override { return 0.0; }
    int level() const override { return 0; }
    bool isValid() const override { return true; }
    bool highlightModeEmptyInDVD() const override { return !isTextItem(); }
    bool isStaticItem() const override { return false; }
    bool isTextItem() const override { return isText(); }
    bool isButtonItem() const override { return false; }
    QImage imageAtTime(qint64) const override { return QImage(); }
    double roundValue() const override { return 0.0; }

private:
    std::atomic<bool> m_isText{false};
    std::atomic<double> m_textSourceBackgroundRadius{0.0};
    HLAtomicProperty<std::weak_ptr<DVDChapterVideoProtocol>> m_jump;
    HLAtomicProperty<QRectF> m_frame;
    HLAtomicProperty<QImage> m_itemImage;
};
