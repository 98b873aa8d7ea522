#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <memory>

class Picture;

// Colour effect of a picture: saturation, brightness, contrast, hue and sharpness, each a
// slider value in [0, 2] with 1.0 neutral.
class HLKeyedUnarchiver;

class HLRenderEditEffect : public HLCoding
{
public:
    static std::shared_ptr<HLRenderEditEffect> editEffect();

    bool isEqual(const HLRenderEditEffect &other) const;
    std::shared_ptr<HLRenderEditEffect> copy() const;
    void keepTheSame(const HLRenderEditEffect *other);
    void reset();

    float dSaturation() const { return m_dSaturation; }
    void setDSaturation(float value) { m_dSaturation = p_safePara(value); }
    float dBrightness() const { return m_dBrightness; }
    void setDBrightness(float value) { m_dBrightness = p_safePara(value); }
    float dContrast() const { return m_dContrast; }
    void setDContrast(float value) { m_dContrast = p_safePara(value); }
    float dHue() const { return m_dHue; }
    void setDHue(float value) { m_dHue = p_safePara(value); }
    float dSharpeness() const { return m_dSharpeness; }
    void setDSharpeness(float value) { m_dSharpeness = p_safePara(value); }

    bool isEditedColor() const;
    bool isEditedHue() const;
    bool isEditedSharpen() const;

    // The picture through colour controls, hue and sharpening as edited; the input itself
    // when nothing is edited.
    Picture render(const Picture &picture) const;

    // Filter parameters from the slider values.
    float p_effectValueSat() const;
    double p_effectValueBri() const;
    float p_effectValueCon() const;
    double p_effectValueHue() const;
    float p_effectValueSha() const;
    // Lower half of the slider runs linearly from min to def, the upper half from def to max.
    static float p_effectOf(float value, float def, float min, float max);

    QString className() const override { return QStringLiteral("HLRenderEditEffect"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Refuses (HLArchiveError) what no setter could have stored and cannot be mended.
    static std::shared_ptr<HLRenderEditEffect> initWithCoder(HLKeyedUnarchiver &coder);

private:
    bool mendDecoded();

    static float p_safePara(float value);
    static bool p_isOriginal(float value);

    float m_dSaturation = 1.0f;
    float m_dBrightness = 1.0f;
    float m_dContrast = 1.0f;
    float m_dHue = 1.0f;
    float m_dSharpeness = 1.0f;
};
