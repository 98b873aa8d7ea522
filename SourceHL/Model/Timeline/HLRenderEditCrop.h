#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QRectF>

#include <memory>

class Picture;

// A crop rectangle in fractions of the picture as it stands after rotation: x from the left
// edge, y from the bottom edge. The setters keep it inside the unit square.
class HLKeyedUnarchiver;

class HLRenderEditCrop : public HLCoding
{
public:
    static std::shared_ptr<HLRenderEditCrop> editCrop();

    bool isEqual(const HLRenderEditCrop &other) const;
    std::shared_ptr<HLRenderEditCrop> copy() const;
    void keepTheSame(const HLRenderEditCrop *other);
    void reset();

    float dRatioX() const { return m_dRatioX; }
    void setDRatioX(float value);
    float dRatioY() const { return m_dRatioY; }
    void setDRatioY(float value);
    float dRatioW() const { return m_dRatioW; }
    void setDRatioW(float value);
    float dRatioH() const { return m_dRatioH; }
    void setDRatioH(float value);

    bool isEdited() const;

    // The picture (extent starting at (0, 0)) cropped to the rectangle; the input itself
    // when nothing is cropped. The result keeps its place: its extent starts at (W·x, H·y).
    Picture render(const Picture &picture) const;
    // The rectangle kept, as fractions of the picture (y up); the whole (0, 0, 1, 1) when
    // nothing is cropped.
    QRectF ratioRect() const;

    QString className() const override { return QStringLiteral("HLRenderEditCrop"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Refuses (HLArchiveError) what no setter could have stored and cannot be mended.
    static std::shared_ptr<HLRenderEditCrop> initWithCoder(HLKeyedUnarchiver &coder);

private:
    bool mendDecoded();

    static float p_safe(float value, float min, float max);
    static bool p_isOriginal(float value, float target);

    float m_dRatioX = 0;
    float m_dRatioY = 0;
    float m_dRatioW = 1;
    float m_dRatioH = 1;
};
