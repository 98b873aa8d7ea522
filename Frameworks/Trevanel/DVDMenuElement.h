#pragma once

#include <QImage>
#include <QRectF>
#include <QtGlobal>

#include <memory>

class DVDChapterVideoProtocol;

// What the disc framework asks of one object of a menu page. frame is in menu pixels,
// origin at the bottom left, y upwards.
class DVDMenuElement
{
public:
    virtual ~DVDMenuElement() = default;
    virtual double rotation() const = 0;
    virtual int level() const = 0;
    virtual bool isValid() const = 0;
    virtual bool highlightModeEmptyInDVD() const = 0;
    virtual bool isStaticItem() const = 0;
    virtual bool isTextItem() const = 0;
    virtual bool isButtonItem() const = 0;
    virtual QRectF frame() const = 0;
    virtual QImage imageAtTime(qint64 time) const = 0;
    // The chapter the button plays; nullptr when it plays nothing (or its chapter is gone).
    virtual std::shared_ptr<DVDChapterVideoProtocol> jump() const = 0;
    virtual double roundValue() const = 0;
    // A text button's background rounding, a share (0..1) of half its shorter side.
    virtual double textSourceBackgroundRadius() const { return 0.0; }
};
