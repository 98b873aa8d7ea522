#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// What a kept picture was drawn from: the slideshow item and its template, the cache ids of the
// pictures in its slots and the newest edit generation among them. A picture whose record
// differs from what a frame needs is stale; a default record matches no item.
struct HLDrawnFrom
{
    QString strSSID;
    QString strTemplate;
    QStringList aryImages;
    quint64 iGeneration = 0;

    bool operator==(const HLDrawnFrom &) const = default;
};
