#include "Frameworks/Trevanel/TrevanelResource.h"

#include "Frameworks/Trevanel/TrevanelFrameResource.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int side = 400;

// A frame of an opening (the path) and the ring around it drawn by drawBorder.
std::shared_ptr<TrevanelFrameResource> frameOf(const QString &name, const QPainterPath &opening,
                                               const std::function<void(QPainter &)> &drawBorder)
{
    QImage frame(side, side, QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    QPainter fp(&frame);
    fp.setRenderHint(QPainter::Antialiasing);
    drawBorder(fp);
    fp.end();

    QImage mask(side, side, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::black);
    QPainter mp(&mask);
    mp.setRenderHint(QPainter::Antialiasing);
    mp.setCompositionMode(QPainter::CompositionMode_Clear);
    mp.fillPath(opening, Qt::transparent);
    mp.end();
    return std::make_shared<TrevanelFrameResource>(name, frame, mask);
}

} // namespace

TrevanelResource &TrevanelResource::share()
{
    static TrevanelResource resource;
    return resource;
}

TrevanelResource::TrevanelResource()
{
    const QRectF inner(24, 24, side - 48, side - 48);
    QPainterPath square;
    square.addRect(inner);
    m_frames.push_back(frameOf(QStringLiteral("White Border"), square, [&](QPainter &p) {
        QPainterPath ring;
        ring.addRect(0, 0, side, side);
        ring.addRect(inner);
        p.fillPath(ring, QColor(250, 250, 245));
    }));

    QPainterPath rounded;
    rounded.addRoundedRect(inner, 48, 48);
    m_frames.push_back(frameOf(QStringLiteral("Rounded Gold"), rounded, [&](QPainter &p) {
        QPainterPath ring;
        ring.addRoundedRect(QRectF(4, 4, side - 8, side - 8), 64, 64);
        ring.addRoundedRect(inner, 48, 48);
        QLinearGradient gold(0, 0, side, side);
        gold.setColorAt(0, QColor(250, 225, 140));
        gold.setColorAt(0.5, QColor(190, 140, 40));
        gold.setColorAt(1, QColor(245, 210, 120));
        p.fillPath(ring, gold);
    }));

    QPainterPath oval;
    oval.addEllipse(inner);
    m_frames.push_back(frameOf(QStringLiteral("Oval"), oval, [&](QPainter &p) {
        QPainterPath ring;
        ring.addEllipse(QRectF(8, 8, side - 16, side - 16));
        ring.addEllipse(inner);
        p.fillPath(ring, QColor(235, 235, 240));
    }));
}
