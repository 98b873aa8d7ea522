#include "export/AudioEditProgressGeometry.h"

#include <algorithm>

QRectF AudioEditProgressGeometry::progressRect() const
{
    return {kMinProgressRectX, 15, width - 2 * kMinProgressRectX, 6};
}

double AudioEditProgressGeometry::pointXFromTime(double time) const
{
    const double ratio = std::clamp(time / std::max(0.1, double(duration)), 0.0, 1.0);
    return ratio * progressRect().width() + kMinProgressRectX;
}

double AudioEditProgressGeometry::pointXToTime(double x) const
{
    const double ratio = std::clamp((x - kMinProgressRectX) / std::max(0.1, progressRect().width()), 0.0, 1.0);
    return ratio * double(duration);
}

QRectF AudioEditProgressGeometry::rectForProgressBtn(qint64 progress) const
{
    return {pointXFromTime(double(progress)) - 7.5, 21, 15, 12};
}

QRectF AudioEditProgressGeometry::rectForTrimLeftBtn(qint64 trimStart) const
{
    return {pointXFromTime(double(trimStart)) - 15, 0, 15, 15};
}

QRectF AudioEditProgressGeometry::rectForTrimRightBtn(qint64 trimStop) const
{
    return {pointXFromTime(double(trimStop)), 0, 15, 15};
}

QRectF AudioEditProgressGeometry::rectForTrimTimeBack(qint64 trimStart, qint64 trimStop) const
{
    const double left = pointXFromTime(double(trimStart));
    return {left, 15, pointXFromTime(double(trimStop)) - left, 6};
}

qint64 AudioEditProgressGeometry::dragTrimStart(double t, qint64 trimStop, qint64 minTrim)
{
    return qint64(std::max(0.0, std::min(t, double(trimStop - minTrim))));
}

qint64 AudioEditProgressGeometry::dragTrimStop(double t, qint64 trimStart, qint64 minTrim, qint64 duration)
{
    return qint64(std::min(double(duration), std::max(t, double(trimStart + minTrim))));
}
