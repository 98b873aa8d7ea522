#pragma once

#include <QRectF>
#include <QtGlobal>

// Where the parts of the sound trim bar lie in a bar of width W (y-up points), and how
// times map onto it. A clip without length has no positions: nothing is drawn and no click
// or drag is taken.
struct AudioEditProgressGeometry
{
    static constexpr double kMinProgressRectX = 15;

    double width = 0;
    qint64 duration = 0;

    bool hasLength() const { return duration > 0; }
    QRectF progressRect() const;
    // Time → x on the bar; times outside the clip sit at its ends.
    double pointXFromTime(double time) const;
    // x → time, clamped into the clip.
    double pointXToTime(double x) const;
    QRectF rectForProgressBtn(qint64 progress) const;
    QRectF rectForTrimLeftBtn(qint64 trimStart) const;
    QRectF rectForTrimRightBtn(qint64 trimStop) const;
    QRectF rectForTrimTimeBack(qint64 trimStart, qint64 trimStop) const;

    // A drag of a handle to time t: the new start (or stop), keeping minTrim between them.
    static qint64 dragTrimStart(double t, qint64 trimStop, qint64 minTrim);
    static qint64 dragTrimStop(double t, qint64 trimStart, qint64 minTrim, qint64 duration);
};
