#pragma once

#include "Platform/Composer/CompositionLayer.h"
#include "Platform/Composer/SlideTiming.h"

#include <QByteArray>
#include <QColor>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

// A loaded composition (the declarative JSON described in README.md): its layers with their
// compiled expressions and, for slideshow templates, the solid timing of the pictures taken from the
// template's property list. Loaded once and shared read-only by every renderer made over it.
class Composition
{
public:
    // The names expressions see; the fixed ones come first, then the "let" names.
    enum Slot {
        SlotTime, SlotCount, SlotWidth, SlotHeight, SlotAspect, SlotRef, SlotMoveIn, SlotMoveOut,
        SlotX, SlotY, SlotFontSize, SlotTotal,
        SlotIndex, SlotEntry, SlotHold, SlotExit, SlotEnd, SlotPin, SlotPhold, SlotPout,
        SlotLetter, SlotLetters,
        SlotFixedCount
    };

    // Loads a composition file. An index file ({"indexOf": "<composition file>"}) loads as the index
    // composition derived from the composition it names. Answers nothing and sets error on a fault.
    static std::shared_ptr<const Composition> load(const QString &path, const SlideTiming &timing,
                                                   QString *error = nullptr);
    static std::shared_ptr<const Composition> fromJson(const QByteArray &json, const SlideTiming &timing,
                                                       QString *error = nullptr);

    // The index composition of this one: it draws nothing and answers "Indexs", the entries of
    // "Images" that this composition draws at the time, so the pictures prepared always match the
    // pictures drawn.
    std::shared_ptr<const Composition> indexComposition() const;

    bool isIndex() const { return m_isIndex; }
    const SlideTiming &timing() const { return m_timing; }
    const std::vector<CompositionLayer> &layers() const { return m_layers; }
    const std::vector<std::pair<int, Expression>> &lets() const { return m_lets; }
    int slotCount() const { return m_slotCount; }
    QColor background() const { return m_background; }

private:
    Composition() = default;

    SlideTiming m_timing;
    std::vector<CompositionLayer> m_layers;
    std::vector<std::pair<int, Expression>> m_lets; // slot, expression; evaluated in order
    int m_slotCount = SlotFixedCount;
    QColor m_background = Qt::transparent;
    bool m_isIndex = false;

    friend class CompositionParser;
};
