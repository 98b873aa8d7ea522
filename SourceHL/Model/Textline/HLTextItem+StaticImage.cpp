#include "SourceHL/Model/Textline/HLTextItem.h"

#include "Platform/Imaging/ImageFilters.h"
#include "Platform/Imaging/Picture.h"
#include "SourceHL/Common/HLColorHelper.h"
#include "SourceHL/Common/HLFontHelper.h"
#include "SourceHL/Common/HLImageHelper.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Pictures are drawn at one pixel per point, while Qt turns points into pixels by the paint
// device's resolution; the font is sized so that both agree.
QFont pixelFont(const QString &name, double points)
{
    QFont font = hl_fontWithName(name, points);
    if (points > 0) {
        const QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
        font.setPointSizeF(points * 72.0 / device.logicalDpiY());
    }
    return font;
}

QSizeF textSizeOf(const QFont &font, const QString &text)
{
    const QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    const QSizeF size = QFontMetricsF(font, &device).size(Qt::TextIncludeTrailingSpaces, text);
    return QSizeF(std::ceil(float(size.width())), std::ceil(float(size.height())));
}

bool isFinite(const QRectF &rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
        && std::isfinite(rect.height());
}

} // namespace

QImage HLTextItem::staticImageOfSize(QSizeF size) const
{
    const HLTextEdit &style = *m_oTextEdit;
    if (style.enType() == HLTextEdit::HLTextEditTypeDynamic)
        return {};
    const float r = p_resizeRatioOfDisplaySize(size, static_render_size);
    const QFont font = pixelFont(style.strFont(), double(style.dFontSize()) * r);
    const QString text = style.strText();
    const QSizeF textSize = textSizeOf(font, text);
    const double w = textSize.width();
    const double h = textSize.height();

    // An empty text has no box to draw; the frame stays transparent.
    QImage textImage;
    if (!text.isEmpty() && w > 0 && h > 0) {
        textImage = HLImageHelper::hlImageOf(textSize, [&](QPainter &painter, const QRectF &rect) {
            painter.setFont(font);
            painter.setPen(style.clFont());
            painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop, text);
        });
    }
    if (!textImage.isNull() && style.bStaticBack()) {
        const QImage plain = textImage;
        textImage = HLImageHelper::hlImageOf(textSize, [&](QPainter &painter, const QRectF &rect) {
            const float radius = std::min(float(w), float(h)) * style.dStaticBackRadius();
            const double rho = radius * 0.5;
            QPainterPath plate;
            plate.addRoundedRect(rect, rho, rho);
            painter.fillPath(plate, hlAlphaColor(style.clStaticBack(), style.dStaticBackAlpha()));
            painter.setClipPath(plate);
            painter.drawImage(rect, plain);
        });
    }

    return HLImageHelper::hlImageOf(size, [&](QPainter &painter, const QRectF &frame) {
        if (textImage.isNull())
            return;
        // The centre runs over the frame grown by half the text box on every side, so 0 and 1
        // put the title just outside an edge.
        const QRectF grown = frame.adjusted(-w / 2, -h / 2, w / 2, h / 2);
        const QPointF centre(grown.x() + grown.width() * style.dCenterX(),
                             grown.y() + grown.height() * style.dCenterY());
        const QRectF box(centre.x() - w / 2, centre.y() - h / 2, w, h); // y-up
        if (!isFinite(box))
            return;
        if (style.bStaticShadow()) {
            // A blur wider than the frame leaves nothing visible; the cap keeps the kernel small.
            const float wanted = style.dStaticShadowRadius() * r;
            const float blur = wanted > 0 ? std::min(wanted, float(std::max(frame.width(), frame.height()))) : 0.0f;
            const Picture shadow = ImageFilters::shadow(Picture::fromImage(textImage), style.clStaticShadow(), blur);
            const QRectF place = shadow.extent().translated(box.x() + style.dStaticShadowOffsetX() * r,
                                                            box.y() + style.dStaticShadowOffsetY() * r);
            if (isFinite(place))
                painter.drawImage(HLImageHelper::flipped(place, frame.height()), shadow.image());
        }
        painter.drawImage(HLImageHelper::flipped(box, frame.height()), textImage);
    });
}
