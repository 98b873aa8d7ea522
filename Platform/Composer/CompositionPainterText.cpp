#include "Platform/Composer/CompositionPainter.h"

#include <QFontMetricsF>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

const CompositionRenderer::Caches::TextSprite &CompositionPainter::sprite(const QString &glyphs, const Item &it,
                                                                         bool shadow)
{
    const QColor fill = shadow ? it.shadowColour : it.colour;
    const QRgb line = shadow ? 0 : (it.outline > 0 ? it.borderColour.rgba() : 0);
    const int outline = shadow ? 0 : int(std::lround(it.outline * 4));
    const int blur = shadow ? int(std::lround(it.shadowBlur * 4)) : 0;
    const auto key = std::make_tuple(glyphs, it.font.key(), fill.rgba(), line, outline, blur);
    auto found = m_caches.texts.find(key);
    if (found != m_caches.texts.end())
        return found->second;
    if (m_caches.texts.size() > 512)
        m_caches.texts.clear();
    QPainterPath path;
    path.addText(0, 0, it.font, glyphs);
    const double stroke = shadow ? 0 : it.outline;
    const double spread = stroke + (shadow ? it.shadowBlur * 2 : 0) + 2;
    const QRectF bounds = path.boundingRect().adjusted(-spread, -spread, spread, spread);
    QImage image(std::max(1, int(std::ceil(bounds.width()))), std::max(1, int(std::ceil(bounds.height()))),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QPointF offset(std::floor(bounds.x()), std::floor(bounds.y()));
    {
        QPainter tp(&image);
        tp.setRenderHint(QPainter::Antialiasing);
        tp.translate(-offset);
        if (stroke > 0) {
            QPen pen(it.borderColour, stroke * 2);
            pen.setJoinStyle(Qt::RoundJoin);
            tp.strokePath(path, pen);
        }
        tp.fillPath(path, fill);
    }
    if (shadow)
        image = blurred(image, it.shadowBlur);
    return m_caches.texts.emplace(key, CompositionRenderer::Caches::TextSprite{image, offset}).first->second;
}

void CompositionPainter::textItem(QPainter &p, const Item &it)
{
    const QFontMetricsF fm(it.font);
    for (int pass = 0; pass < 2; ++pass) {
        const bool shadow = pass == 0;
        if (shadow && !it.shadowColour.isValid())
            continue;
        for (const Item::Letter &letter : it.letters) {
            if (letter.opacity <= 0 || letter.scale == 0)
                continue;
            const auto &s = sprite(letter.glyph, it, shadow);
            QPointF at = letter.origin + letter.shift;
            if (shadow)
                at += QPointF(it.shadowDx, it.shadowDy);
            p.save();
            p.setOpacity(p.opacity() * letter.opacity);
            if (letter.scale != 1 || letter.rotate != 0) {
                const QPointF mid = at + QPointF(fm.horizontalAdvance(letter.glyph) / 2, -fm.ascent() / 2 + fm.descent() / 2);
                p.translate(mid);
                p.rotate(letter.rotate);
                p.scale(letter.scale, letter.scale);
                p.translate(-mid);
            }
            p.drawImage(at + s.offset, s.image);
            p.restore();
        }
    }
}
