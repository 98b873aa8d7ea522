#pragma once

#include "Platform/Composer/CompositionFrame.h"

#include <QHash>

// Evaluates a composition's layers for one frame into the items to draw: every value an
// expression gives is traced (the frame is reused when the trace repeats), transforms nest,
// repeaters run once per entry, pictures are trimmed, cropped and fitted, texts are laid out.
class CompositionEvaluator
{
public:
    using Item = CompositionRenderer::Item;

    CompositionEvaluator(CompositionRenderer::Frame &frame, const QHash<QString, QVariant> &inputs,
                         const QHash<QString, QImage> &pictures, const QHash<QString, std::vector<QImage>> &lists,
                         const std::vector<SlideTiming::Phase> &phases, std::map<qint64, QRect> &opaque, QSize size);

    double ev(const Expression &e);
    QColor colour(const CompositionLayer::Colour &c) const;
    QString text(const CompositionLayer::Text &t) const;

    // inherited: the opacity of the groups above that draw straight onto the same surface
    void layers(const std::vector<CompositionLayer> &list, const QTransform &parent, double inherited,
                std::vector<Item> &out);

private:
    const QImage *pictureOf(const CompositionLayer::ImageRef &ref, int *listIndex) const;
    void layer(const CompositionLayer &l, const QTransform &parent, double inherited, std::vector<Item> &out);
    // Visibility, opacity, rectangle and transform of a layer; answers its own opacity, 0 when it
    // draws nothing.
    double placed(const CompositionLayer &l, const QTransform &parent, double inherited, Item &it);
    // Corner radius, border and shadow of a picture or shape.
    void frame(const CompositionLayer &l, Item &it);
    // False when there is no picture to draw.
    bool pictureItem(const CompositionLayer &l, Item &it);
    // The part of src that covers dst, its window at pan (0 … 1) along the side that is cut.
    static QRectF filled(const QRectF &src, const QRectF &dst, double pan);
    void fitted(CompositionLayer::Fit fit, QRectF src, double pan, Item &it);
    // False when no child draws anything.
    bool groupItem(const CompositionLayer &l, double opacity, Item &it);
    QRect trimmed(const QImage &image);
    void shadow(const CompositionLayer::Shadow &s, Item &it);
    void textLayer(const CompositionLayer &l, Item &it, double ref);

    CompositionRenderer::Frame &m_frame;
    const QHash<QString, QVariant> &m_inputs;
    const QHash<QString, QImage> &m_pictures;
    const QHash<QString, std::vector<QImage>> &m_lists;
    const std::vector<SlideTiming::Phase> &m_phases;
    std::map<qint64, QRect> &m_opaque;
    QSize m_size;
    Expression::Env m_env;
};
