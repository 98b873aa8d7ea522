#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"

#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "Platform/Imaging/ImageFilters.h"
#include "Platform/Imaging/Picture.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr float EffectMinimum = 0.0f;
constexpr float EffectDefault = 1.0f;
constexpr float EffectMaximum = 2.0f;
} // namespace

std::shared_ptr<HLRenderEditEffect> HLRenderEditEffect::editEffect()
{
    auto effect = std::make_shared<HLRenderEditEffect>();
    effect->reset();
    return effect;
}

bool HLRenderEditEffect::isEqual(const HLRenderEditEffect &other) const
{
    if (this == &other)
        return true;
    return m_dSaturation == other.m_dSaturation && m_dBrightness == other.m_dBrightness
           && m_dContrast == other.m_dContrast && m_dHue == other.m_dHue
           && m_dSharpeness == other.m_dSharpeness;
}

std::shared_ptr<HLRenderEditEffect> HLRenderEditEffect::copy() const
{
    auto effect = std::make_shared<HLRenderEditEffect>();
    effect->keepTheSame(this);
    return effect;
}

void HLRenderEditEffect::keepTheSame(const HLRenderEditEffect *other)
{
    if (other) {
        m_dSaturation = other->m_dSaturation;
        m_dBrightness = other->m_dBrightness;
        m_dContrast = other->m_dContrast;
        m_dHue = other->m_dHue;
        m_dSharpeness = other->m_dSharpeness;
    } else {
        m_dSaturation = m_dBrightness = m_dContrast = m_dHue = m_dSharpeness = 1.0f;
    }
}

void HLRenderEditEffect::reset()
{
    keepTheSame(nullptr);
}

float HLRenderEditEffect::p_safePara(float value)
{
    if (std::isnan(value))
        return 0;
    return std::min(2.0f, std::max(0.0f, value));
}

bool HLRenderEditEffect::p_isOriginal(float value)
{
    const float difference = value - 1.0f;
    return std::fabs(double(difference)) <= 0.01;
}

bool HLRenderEditEffect::isEditedColor() const
{
    return !p_isOriginal(m_dSaturation) || !p_isOriginal(m_dBrightness) || !p_isOriginal(m_dContrast);
}

bool HLRenderEditEffect::isEditedHue() const
{
    return !p_isOriginal(m_dHue);
}

bool HLRenderEditEffect::isEditedSharpen() const
{
    return !p_isOriginal(m_dSharpeness);
}

float HLRenderEditEffect::p_effectOf(float value, float def, float min, float max)
{
    if (value == EffectDefault)
        return def;
    if (value < EffectDefault)
        return min + (value - EffectMinimum) * ((def - min) / (EffectDefault - EffectMinimum));
    return def + (value - EffectDefault) * ((max - def) / (EffectMaximum - EffectDefault));
}

float HLRenderEditEffect::p_effectValueSat() const
{
    return m_dSaturation;
}

double HLRenderEditEffect::p_effectValueBri() const
{
    return double(m_dBrightness) - 1.0;
}

float HLRenderEditEffect::p_effectValueCon() const
{
    return p_effectOf(m_dContrast, 1.0f, 0.25f, 4.0f);
}

double HLRenderEditEffect::p_effectValueHue() const
{
    return (double(m_dHue) - 1.0) * std::numbers::pi;
}

float HLRenderEditEffect::p_effectValueSha() const
{
    return p_effectOf(m_dSharpeness, 0.4f, 0.0f, 2.0f);
}

Picture HLRenderEditEffect::render(const Picture &picture) const
{
    Picture result = picture;
    // Colour and hue together take one pass over the pixels.
    if (isEditedColor() && isEditedHue())
        result = ImageFilters::colorControlsThenHue(result, p_effectValueSat(), float(p_effectValueBri()),
                                                    p_effectValueCon(), float(p_effectValueHue()));
    else if (isEditedColor())
        result = ImageFilters::colorControls(result, p_effectValueSat(), float(p_effectValueBri()),
                                             p_effectValueCon());
    else if (isEditedHue())
        result = ImageFilters::hueAdjust(result, float(p_effectValueHue()));
    if (isEditedSharpen())
        result = ImageFilters::sharpenLuminance(result, p_effectValueSha());
    return result;
}

bool HLRenderEditEffect::mendDecoded()
{
    for (float *value : {&m_dSaturation, &m_dBrightness, &m_dContrast, &m_dHue, &m_dSharpeness}) {
        if (!std::isfinite(*value))
            return false;
        *value = p_safePara(*value);
    }
    return true;
}

void HLRenderEditEffect::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeFloat(QStringLiteral("kNSCodingSaturation"), m_dSaturation);
    coder.encodeFloat(QStringLiteral("kNSCodingBrightness"), m_dBrightness);
    coder.encodeFloat(QStringLiteral("kNSCodingContrast"), m_dContrast);
    coder.encodeFloat(QStringLiteral("kNSCodingHue"), m_dHue);
    coder.encodeFloat(QStringLiteral("kNSCodingSharpeness"), m_dSharpeness);
}

std::shared_ptr<HLRenderEditEffect> HLRenderEditEffect::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto effect = std::make_shared<HLRenderEditEffect>();
    effect->m_dSaturation = coder.decodeFloat(QStringLiteral("kNSCodingSaturation"));
    effect->m_dBrightness = coder.decodeFloat(QStringLiteral("kNSCodingBrightness"));
    effect->m_dContrast = coder.decodeFloat(QStringLiteral("kNSCodingContrast"));
    effect->m_dHue = coder.decodeFloat(QStringLiteral("kNSCodingHue"));
    effect->m_dSharpeness = coder.decodeFloat(QStringLiteral("kNSCodingSharpeness"));
    if (!effect->mendDecoded())
        throw HLArchiveError(QStringLiteral("HLRenderEditEffect: effect value is no number"));
    return effect;
}
