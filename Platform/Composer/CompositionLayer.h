#pragma once

#include "Platform/Composer/Expression.h"

#include <QColor>
#include <QPainter>
#include <QString>

#include <array>
#include <utility>
#include <vector>

// One layer of a composition as loaded from its JSON: what to draw and the compiled expressions
// of every animatable value. Loaded once, shared read-only by every renderer of the composition.
struct CompositionLayer
{
    enum class Type { Fill, Gradient, Picture, Shape, Text, Group, Repeat };
    enum class Fit { Fit, Fill, Stretch };
    enum class MaskType { None, Wipe, Iris, Stripes, Checker, Rect, Ellipse };

    // A colour: a constant or the colour input of a key ("$FontColor").
    struct Colour
    {
        QColor constant;
        QString input; // empty for a constant
    };
    // A string: a constant or the string input of a key ("$Content").
    struct Text
    {
        QString constant;
        QString input;
    };
    // Which picture a picture layer draws.
    struct ImageRef
    {
        QString key;     // "ImageA", "BackgroundImage" …; empty for an Images entry
        int index = -1;  // "Images[2]" gives 2
        bool item = false; // "item": the picture of the repeater's current entry
    };
    struct Shadow
    {
        bool on = false;
        Expression blur, dx, dy; // reference units
        Colour colour;
    };
    struct Stroke
    {
        bool on = false;
        Expression width; // reference units
        Colour colour;
    };
    // What shows where a fitted picture leaves its rect bare: the picture itself filling the rect,
    // softened, with a colour laid over it.
    struct Backdrop
    {
        bool on = false;
        Expression blur; // reference units
        Colour colour;
    };
    struct Mask
    {
        MaskType type = MaskType::None;
        bool invert = false;
        Expression progress, angle, feather, count, rows, radius;
        std::array<Expression, 2> center;
        std::array<Expression, 4> rect;
    };
    struct Letters
    {
        bool on = false;
        Expression opacity, scale, rotate;
        std::array<Expression, 2> translate;
    };
    struct Stop
    {
        double at = 0;
        Colour colour;
    };

    Type type = Type::Fill;
    Expression visible;   // drawn when not 0
    Expression opacity;   // 0…1
    std::array<Expression, 4> rect; // x, y, width, height as fractions of the canvas
    std::array<Expression, 2> translate; // fractions of the canvas
    std::array<Expression, 2> anchor;    // fractions of the rect
    Expression scale, scaleX, scaleY, rotate; // rotate in degrees, clockwise
    QPainter::CompositionMode blend = QPainter::CompositionMode_SourceOver;
    bool hasVisible = false;

    // fill, shape, text
    Colour colour;
    // gradient
    bool radial = false;
    std::array<Expression, 2> from, to; // fractions of the canvas
    Expression gradientRadius;          // radial: fraction of the canvas diagonal
    std::vector<Stop> stops;
    // picture
    ImageRef image;
    Fit fit = Fit::Fill;
    std::array<Expression, 4> crop; // fractions of the source picture
    bool hasCrop = false;
    bool trim = false; // drop the source's transparent margins (a photo padded to 4:3) before crop and fit
    Expression maxCut;   // fill: the largest share of the picture's width or height cut away; beyond, it fits
    Expression pan;      // fill: where the kept part sits along the cut side, 0 (top or left) … 1
    Backdrop backdrop;
    // picture, shape
    Expression radius; // corner radius, reference units
    Stroke border;
    Shadow shadow;
    bool ellipse = false;
    // text
    Text text, font;
    Expression fontSize; // reference units
    bool bold = false, italic = false;
    Stroke outline;
    Letters letters;
    // group
    Mask mask;
    // group, repeat
    std::vector<CompositionLayer> children;
    QString over; // repeat: the input key of the picture list ("Images")
    std::vector<std::pair<int, Expression>> lets; // repeat: slot, expression; evaluated per entry, in order
};
