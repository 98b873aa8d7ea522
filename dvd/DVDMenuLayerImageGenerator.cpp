#include "dvd/DVDMenuLayerImageGenerator.h"

#include "Frameworks/Trevanel/DVDMenuElement.h"
#include "Frameworks/Trevanel/DVDMenuMake.h"
#include "Frameworks/Trevanel/DVDMenuPage.h"

#include <QPainterPath>

#include <algorithm>

void DVDMenuLayerImageGenerator::drawDVDMenuImageSize(QPainter &painter, QSizeF, const QString &name)
{
    QColor color = QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.07f);
    bool selectMode = false;
    if (name == QLatin1String("menu_highlight")) {
        color = dvdMenuPlayBorderColor().isValid() ? dvdMenuPlayBorderColor() : QColor::fromRgbF(0.2f, 0.2f, 0.7f, 0.7f);
    } else if (name == QLatin1String("menu_select")) {
        color = QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.35f);
        selectMode = true;
    } else if (name == QLatin1String("menu_image")) {
        painter.fillRect(QRectF(200, 200, 1, 1), color);
        return;
    } else {
        return;
    }

    QPainterPath outer;
    QPainterPath inner;
    // Overlapping buttons add up instead of cancelling out.
    outer.setFillRule(Qt::WindingFill);
    inner.setFillRule(Qt::WindingFill);
    const auto page = menu();
    // The visible frame: a huge or broken button rectangle draws only what shows.
    const QRectF visible(QPointF(0, 0), getDVDVideoFormatSize());
    for (const auto &item : page ? page->items() : std::vector<std::shared_ptr<DVDMenuElement>>()) {
        if (!item || !item->isValid() || item->isStaticItem())
            continue;
        QRectF r = DVDMenuMake::scaleRect(item->frame(), page->menuSize(), getDVDVideoFormatSize());
        r = r.adjusted(-1, -1, 1, 1).intersected(visible);
        if (r.isEmpty())
            continue;
        int w = dvdMenuPlayBorderWidth();
        w = int(std::min<double>(w, 0.3 * r.width()));
        w = int(std::min<double>(w, 0.3 * r.height()));
        const QRectF in = r.adjusted(w, w, -w, -w);
        double radius = item->roundValue();
        if (item->isTextItem())
            radius = double(std::min(float(r.width()), float(r.height())) * float(item->textSourceBackgroundRadius())) * 0.5;
        if (radius > 0.9) {
            radius = std::min(radius, 0.5 * r.width());
            radius = std::min(radius, 0.5 * r.height());
            outer.addRoundedRect(r, radius, radius);
            const double innerRadius = std::max(radius - w, 0.0);
            inner.addRoundedRect(in, innerRadius, innerRadius);
        } else {
            outer.addRect(r);
            inner.addRect(in);
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillPath(outer, color);
    if (!selectMode) {
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.fillPath(inner, Qt::transparent);
        if (useDvdMenuPlayBorderFillColor() && dvdMenuPlayBorderFillColor().isValid()) {
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.fillPath(inner, dvdMenuPlayBorderFillColor());
        }
    }
    painter.restore();
}
