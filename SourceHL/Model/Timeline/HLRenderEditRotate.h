#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QRectF>

#include <cstdint>
#include <memory>
#include <optional>

class Picture;

// Quarter turns (degrees, counter-clockwise) and mirror flips of a picture.
class HLKeyedUnarchiver;

class HLRenderEditRotate : public HLCoding
{
public:
    static std::shared_ptr<HLRenderEditRotate> editRotate();

    bool isEqual(const HLRenderEditRotate &other) const;
    std::shared_ptr<HLRenderEditRotate> copy() const;
    void keepTheSame(const HLRenderEditRotate *other);
    void reset();

    void rotateL();
    void rotateR();
    void flipH();
    void flipV();
    // Width and height keep their places.
    bool isNormal() const;
    bool isEdited() const;

    int32_t iRotation() const { return m_iRotation; }
    // A quarter turn, brought into [0, 360); any other rotation is ignored, as the archive
    // refuses it.
    void setIRotation(int32_t rotation);
    bool bFlipH() const { return m_bFlipH; }
    void setBFlipH(bool flip) { m_bFlipH = flip; }
    bool bFlipV() const { return m_bFlipV; }
    void setBFlipV(bool flip) { m_bFlipV = flip; }

    // The picture flipped and turned, its extent moved to start at (0, 0); the input itself
    // when not edited.
    Picture render(const Picture &picture) const;
    // A rectangle of the turned picture, as fractions of its size (y up), as the same
    // fractions of the picture before the turn: the part to read for it.
    QRectF unturnedRect(const QRectF &turned) const;

    QString className() const override { return QStringLiteral("HLRenderEditRotate"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Refuses (HLArchiveError) what no setter could have stored and cannot be mended.
    static std::shared_ptr<HLRenderEditRotate> initWithCoder(HLKeyedUnarchiver &coder);

private:
    // A quarter turn brought into [0, 360); nothing for any other rotation.
    static std::optional<int32_t> p_quarterTurnOf(int32_t rotation);

    int32_t m_iRotation = 0;
    bool m_bFlipH = false;
    bool m_bFlipV = false;
};
