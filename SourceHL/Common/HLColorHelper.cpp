#include "SourceHL/Common/HLColorHelper.h"

#include <algorithm>
#include <cmath>

bool hlIsEqual(const QColor &color, const QColor &other)
{
    if (!color.isValid() || !other.isValid())
        return color.isValid() == other.isValid();
    const QColor a = color.toRgb();
    const QColor b = other.toRgb();
    constexpr float tolerance = 0.01f;
    return std::fabs(a.redF() - b.redF()) < tolerance
        && std::fabs(a.greenF() - b.greenF()) < tolerance
        && std::fabs(a.blueF() - b.blueF()) < tolerance
        && std::fabs(a.alphaF() - b.alphaF()) < tolerance;
}

QColor hlAlphaColor(const QColor &color, double alpha)
{
    const QColor rgb = color.toRgb();
    return QColor::fromRgbF(rgb.redF(), rgb.greenF(), rgb.blueF(),
                            float(std::clamp(alpha, 0.0, 1.0)));
}
