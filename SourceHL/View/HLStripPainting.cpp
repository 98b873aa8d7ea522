#include "SourceHL/View/HLStripPainting.h"

#include "SourceHL/Common/HLFontHelper.h"
#include "SourceHL/View/HLStripGeometry.h"

#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace HLStripPainting {

const QFont &captionFont()
{
    static const QFont font = hl_fontWithName(QStringLiteral("Times New Roman"), 13);
    return font;
}

void drawPanel(QPainter &painter, const QWidget &view, const QColor &fill, const QString &title, bool chosen)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const double height = view.height();
    const QRectF r = QRectF(view.rect()).adjusted(1, 0, -1, 0);
    QPainterPath panel;
    panel.addRoundedRect(r, 6, 6);
    painter.fillPath(panel, fill);

    // The band's lower edge, measured up from the bottom as the row geometry is.
    const double bandUp = std::trunc(r.height() - HLStripGeometry::kCaptionHeight) - 0.5;
    const double bandY = height - bandUp;
    painter.setPen(QPen(QColor::fromRgbF(0.1, 0.1, 0.1), 1));
    painter.drawLine(QPointF(r.left(), bandY), QPointF(r.right(), bandY));

    const QRegion visible = view.visibleRegion();
    const double visibleLeft = visible.isEmpty() ? r.left() : visible.boundingRect().left();
    const double captionX = std::max(r.left(), visibleLeft) + 6;
    const QRectF band(captionX, bandY - HLStripGeometry::kCaptionHeight, r.right() - captionX,
                      HLStripGeometry::kCaptionHeight);
    painter.save();
    painter.setClipPath(panel);
    painter.setFont(captionFont());
    painter.setPen(QColor(0, 0, 0, 200));
    painter.drawText(band.translated(0.5, 0.5), Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.setPen(Qt::white);
    painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.restore();

    if (chosen) {
        drawChosen(painter, r, 6);
    } else {
        QPainterPath edge;
        edge.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        painter.strokePath(edge, QPen(QColor::fromRgbF(0.02, 0.02, 0.02), 1));
    }
}

void drawChosen(QPainter &painter, const QRectF &shape, double radius)
{
    QPainterPath wash;
    wash.addRoundedRect(shape, radius, radius);
    painter.fillPath(wash, QColor::fromRgbF(1, 1, 0, 0.1));
    QPainterPath frame;
    frame.addRoundedRect(shape.adjusted(1, 1, -1, -1), radius, radius);
    painter.strokePath(frame, QPen(Qt::red, 3));
}

} // namespace HLStripPainting
