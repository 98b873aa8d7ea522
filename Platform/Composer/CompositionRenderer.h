#pragma once

#include "Platform/Composer/Composition.h"

#include <QHash>
#include <QImage>
#include <QSize>
#include <QVariant>

#include <memory>
#include <vector>

class Picture;

// One instance of a composition at a pixel size: inputs are set by key, the "Indexs" output can be
// read, and rendering at the input "Time" draws the composition into an off-screen picture.
//
// Inputs: numbers (double, int), strings, colours (QColor or a colour name), pictures (QImage or
// Picture), lists of {"Image": picture} entries (an entry without a picture is empty), or an invalid
// QVariant, which empties the input. Rendering is deterministic; a frame whose inputs and evaluated
// values equal the last frame's answers the last picture again without drawing.
class CompositionRenderer
{
public:
    CompositionRenderer(std::shared_ptr<const Composition> composition, QSize size);
    ~CompositionRenderer();

    const std::shared_ptr<const Composition> &composition() const { return m_composition; }
    QSize size() const { return m_size; }

    void setValue(const QString &key, const QVariant &value);
    void setPicture(const QString &key, const Picture &picture);
    // An input as it was set, or the output "Indexs": a map whose values are the indexes of the
    // "Images" entries drawn at the current "Time" (keys are the indexes as text).
    QVariant value(const QString &key) const;

    // Draws at the current "Time" (premultiplied ARGB32 of the instance's size).
    QImage render();
    QImage render(double time);
    // The indexes of the "Images" entries drawn at the current "Time", ascending.
    std::vector<int> indexes() const;

    // How many frames were drawn and how many answered the last picture again.
    int drawnFrames() const { return m_drawn; }
    int reusedFrames() const { return m_reused; }

    struct Item;
    struct Frame;
    struct Caches;

private:
    void prepareSlots(std::vector<double> &values) const;
    void evaluate(Frame &frame) const;

    std::shared_ptr<const Composition> m_composition;
    QSize m_size;
    QHash<QString, QVariant> m_inputs;
    QHash<QString, QImage> m_pictures;
    QHash<QString, std::vector<QImage>> m_lists;
    quint64 m_generation = 1;

    // the last frame, for reuse
    std::vector<double> m_lastTrace;
    quint64 m_lastGeneration = 0;
    QImage m_lastImage;
    int m_drawn = 0;
    int m_reused = 0;

    std::unique_ptr<Caches> m_caches;
};
