#pragma once

#include "Platform/Composer/CompositionFrame.h"

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <vector>

// The geometry of a group's mask in the group's pixels (size: the frame's), and the outlines
// shapes, rounded pictures and rect masks share.
namespace CompositionMask {

using Item = CompositionRenderer::Item;

// A part of the device under a hard mask, and how much of each of its pixels the mask keeps.
struct Piece
{
    QRect rect;
    double coverage;
};

// The part of a polygon where dot(p, d) <= limit.
QPolygonF cutPolygon(const QPolygonF &polygon, QPointF d, double limit);
QPolygonF polygonOf(const QRectF &rect);
QPainterPath outlineOf(const QRectF &r, double radius, bool ellipse);

// A hard mask made of straight-edged parts (wipes, stripes, checkers, square rects) as polygons
// in the group's pixels, all wound the same way; false for masks with curves.
bool maskPolygons(const Item &it, QSize size, std::vector<QPolygonF> &polygons);
// The outline of a hard mask, in the group's pixels; a soft mask is drawn as a gradient instead.
QPainterPath maskPath(const Item &it, QSize size);
// A hard mask whose parts are upright rectangles on the device, cut into pieces of constant
// coverage (whole pixels inside, the antialiased rows and columns along the edges). Drawing each
// piece under a rectangle clip keeps Qt on its fast paths; a clip path with several parts side
// by side (vertical blinds, a checker) makes it blend every span of every row apart. False when
// the mask is not such, or when the clip path costs no more.
// pathClip: the painter already clips with a path, not a rectangle.
bool rectPieces(const QPainter &p, const Item &it, bool pathClip, QSize size, std::vector<Piece> &pieces);
// Soft wipes and irises: a gradient brush that keeps what the mask shows (DestinationIn), and
// the part of the canvas where anything can show.
QBrush softMask(const Item &it, QSize size, QRectF *support);

} // namespace CompositionMask
