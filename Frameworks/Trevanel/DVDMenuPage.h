#pragma once

#include <QImage>
#include <QSizeF>
#include <QtGlobal>

#include <memory>
#include <vector>

class DVDMenuElement;

// What the disc framework asks of one menu page. Sizes are menu pixels.
class DVDMenuPage
{
public:
    virtual ~DVDMenuPage() = default;
    // Seconds.
    virtual double duration() const = 0;
    virtual qint64 aspectType() const = 0;
    virtual QSizeF menuSize() const = 0;
    virtual QImage imageAtTime(qint64 time) const = 0;
    virtual std::vector<std::shared_ptr<DVDMenuElement>> items() const = 0;
};
