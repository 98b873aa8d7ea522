#include "RenderProject.h"

#include <algorithm>
#include <cstdlib>

namespace RenderProject {

QColor probe(const QImage &image, double x, double y)
{
    if (image.isNull())
        return QColor(0, 0, 0, 0);
    const int px = std::clamp(int(x * image.width()), 0, image.width() - 1);
    const int py = std::clamp(int(y * image.height()), 0, image.height() - 1);
    return image.pixelColor(px, py);
}

bool near(const QColor &a, const QColor &b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

bool sameFrame(const QImage &a, const QImage &b, int tolerance)
{
    if (a.size() != b.size() || a.isNull())
        return false;
    const QImage left = a.convertToFormat(QImage::Format_ARGB32);
    const QImage right = b.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width(); ++x) {
            if (!near(left.pixelColor(x, y), right.pixelColor(x, y), tolerance))
                return false;
        }
    }
    return true;
}

} // namespace RenderProject
