#pragma once

#include "Platform/Composer/CompositionFrame.h"

#include <QPainter>

// Draws a frame's items with a QPainter. Fills, gradients, pictures and shapes are in
// CompositionPainter.cpp, texts in CompositionPainterText.cpp, groups with their masks in
// CompositionPainterGroups.cpp.
class CompositionPainter
{
public:
    using Item = CompositionRenderer::Item;

    CompositionPainter(CompositionRenderer::Caches &caches, QSize size) : m_caches(caches), m_size(size) {}

    void items(QPainter &p, const std::vector<Item> &list, const QTransform &base);

private:
    void item(QPainter &p, const Item &it, const QTransform &base);
    // A gradient behind the whole canvas is drawn once and copied from then on: it stays the
    // same from frame to frame while the pictures over it move, and a radial one costs a square
    // root a pixel. The copy blends the very pixels the fill would.
    void gradient(QPainter &p, const Item &it);
    void framed(QPainter &p, const Item &it);
    // A picture laid 1:1 on whole pixels is copied without resampling: the pixels are the same, but
    // Qt's smooth-transform path would fetch them span by span, several times slower.
    static void drawPicture(QPainter &p, const QRectF &target, const QImage &image, const QRectF &source);
    void shadowOf(QPainter &p, const QRectF &r, const Item &it);
    // Three box passes approximate a gaussian; done on a reduced copy so wide blurs stay cheap.
    // clampEdges: the edge pixels continue beyond the picture, instead of fading it to nothing.
    static QImage blurred(const QImage &alpha, double radius, bool clampEdges = false);
    // The backdrop of a picture that leaves its rect bare, at a reduced size, from the caches.
    QImage softened(const Item &it);

    const CompositionRenderer::Caches::TextSprite &sprite(const QString &glyphs, const Item &it, bool shadow);
    void textItem(QPainter &p, const Item &it);

    // A feathered wipe: the fully shown part is drawn straight under a clip, and only the band of
    // the feather is drawn apart and faded, so a wipe costs little more than its pictures.
    void softWipe(QPainter &p, const Item &it, const QTransform &base);
    // The group's children drawn apart at full strength into a layer covering area of the device.
    QImage flattened(const QPainter &p, const Item &it, const QTransform &base, const QRect &area);
    void group(QPainter &p, const Item &it, const QTransform &base);

    CompositionRenderer::Caches &m_caches;
    QSize m_size;
    double m_fade = 1; // coverage of the mask piece being drawn
    bool m_pathClip = false; // the painter clips with a path, not a rectangle
};
