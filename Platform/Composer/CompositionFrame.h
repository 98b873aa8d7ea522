#pragma once

#include "Platform/Composer/CompositionRenderer.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <map>
#include <set>
#include <tuple>
#include <vector>

// What a renderer hands from evaluating a frame to painting it, and what it keeps between frames.

inline const QString kImages = QStringLiteral("Images");

// What one layer draws in this frame, with every value evaluated.
struct CompositionRenderer::Item
{
    const CompositionLayer *layer = nullptr;
    QTransform xf;     // layer pixels → canvas pixels
    QRectF rect;       // the layer's rectangle in its own pixels
    double opacity = 1;
    // picture
    const QImage *image = nullptr;
    QRectF source, target;
    // the part of the picture that fills rect, softened, where target leaves rect bare (empty: none)
    QRectF backdropSource;
    double backdropBlur = 0;
    QColor backdropColour;
    // picture, shape
    double radius = 0, border = 0;
    double shadowBlur = 0, shadowDx = 0, shadowDy = 0;
    // gradient
    QPointF from, to;
    double gradientRadius = 0;
    // text
    QString text;
    QFont font;
    QColor colour, borderColour, shadowColour;
    double outline = 0;
    struct Letter
    {
        QString glyph;
        QPointF origin; // baseline start in layer pixels
        double opacity = 1, scale = 1, rotate = 0;
        QPointF shift;
    };
    std::vector<Letter> letters;
    // group
    double progress = 1, angle = 0, feather = 0, count = 0, rows = 0, maskRadius = 0;
    QPointF center;
    QRectF maskRect;
    bool offscreen = false;
    std::vector<Item> children;
};

struct CompositionRenderer::Frame
{
    std::vector<double> values;
    std::vector<double> trace;
    std::set<int> indexes;
    std::vector<Item> items;
};

struct CompositionRenderer::Caches
{
    // blurred shadows and rendered texts, keyed by everything that shapes them
    std::map<std::tuple<int, int, int, int, QRgb>, QImage> shadows;
    struct TextSprite
    {
        QImage image;
        QPointF offset; // sprite's top-left relative to the text origin
    };
    std::map<std::tuple<QString, QString, QRgb, QRgb, int, int>, TextSprite> texts;
    std::vector<SlideTiming::Phase> phases;
    int phasesCount = -1;
    std::map<qint64, QRect> opaque; // by QImage::cacheKey
    // softened backdrops at their reduced size, by picture, part (x, y, w, h), size (w, h) and colour
    std::map<std::tuple<qint64, int, int, int, int, int, int, QRgb>, QImage> backdrops;
    // gradients from the canvas corner, by layer, size (w, h), from, to and radius
    std::map<std::tuple<const void *, int, int, double, double, double, double, double>, QImage> gradients;
};
