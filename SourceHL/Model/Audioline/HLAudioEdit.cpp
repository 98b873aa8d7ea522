#include "SourceHL/Model/Audioline/HLAudioEdit.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"

#include <algorithm>
#include <cmath>

std::shared_ptr<HLAudioEdit> HLAudioEdit::audioEditOf(const QString &name, float duration)
{
    if (name.isEmpty() || !(duration > 0))
        return nullptr;
    auto edit = std::make_shared<HLAudioEdit>();
    edit->m_strName = name;
    edit->m_dDuration = duration;
    edit->reset();
    return edit;
}

bool HLAudioEdit::isEqual(const HLAudioEdit &other) const
{
    if (this == &other)
        return true;
    return m_strName == other.m_strName && m_dDuration == other.m_dDuration && m_dTrimMin == other.m_dTrimMin
        && m_dTrimMax == other.m_dTrimMax && m_dFadeIn == other.m_dFadeIn && m_dFadeOut == other.m_dFadeOut
        && m_dVolume == other.m_dVolume;
}

namespace {

// Fades and volume: finite and never negative, in the setters as in the archive.
float nonNegative(float value)
{
    return std::max(value, 0.0f);
}

} // namespace

void HLAudioEdit::setDTrimMin(float value)
{
    if (std::isnan(value))
        return;
    m_dTrimMin = std::min(std::max(value, 0.0f), std::max(m_dTrimMax - 1.0f, 0.0f));
}

void HLAudioEdit::setDTrimMax(float value)
{
    if (std::isnan(value))
        return;
    m_dTrimMax = std::min(std::max(value, std::min(m_dDuration, m_dTrimMin + 1.0f)), m_dDuration);
}

void HLAudioEdit::setDDuration(float value)
{
    if (!(value > 0) || !std::isfinite(value))
        return;
    m_dDuration = value;
    p_keepTrimInside();
}

// The trim invariants again after the length changed, as the decoder mends a stored trim.
void HLAudioEdit::p_keepTrimInside()
{
    m_dTrimMax = std::clamp(m_dTrimMax, 0.0f, m_dDuration);
    setDTrimMin(m_dTrimMin);
    setDTrimMax(m_dTrimMax);
}

void HLAudioEdit::setDFadeIn(float value)
{
    if (std::isfinite(value))
        m_dFadeIn = nonNegative(value);
}

void HLAudioEdit::setDFadeOut(float value)
{
    if (std::isfinite(value))
        m_dFadeOut = nonNegative(value);
}

void HLAudioEdit::setDVolume(float value)
{
    if (std::isfinite(value))
        m_dVolume = nonNegative(value);
}

void HLAudioEdit::keepTheSame(const HLAudioEdit *other)
{
    if (other) {
        m_dTrimMin = other->m_dTrimMin;
        m_dTrimMax = other->m_dTrimMax;
        m_dFadeIn = other->m_dFadeIn;
        m_dFadeOut = other->m_dFadeOut;
        m_dVolume = other->m_dVolume;
    } else {
        m_dTrimMin = 0;
        m_dTrimMax = m_dDuration;
        m_dFadeIn = 3.0f;
        m_dFadeOut = 3.0f;
        m_dVolume = 1.0f;
    }
}

void HLAudioEdit::reset()
{
    keepTheSame(nullptr);
}

float HLAudioEdit::trimDuration() const
{
    return m_dTrimMax - m_dTrimMin;
}

float HLAudioEdit::trimRatioMin() const
{
    return m_dTrimMin / m_dDuration;
}

void HLAudioEdit::updateTrimRatioMin(float ratio)
{
    HL_ASSERT(ratio >= 0 && ratio <= 1, "wrong para");
    setDTrimMin(m_dDuration * ratio);
}

float HLAudioEdit::trimRatioMax() const
{
    return m_dTrimMax / m_dDuration;
}

void HLAudioEdit::updateTrimRatioMax(float ratio)
{
    HL_ASSERT(ratio >= 0 && ratio <= 1, "wrong para");
    setDTrimMax(m_dDuration * ratio);
}

void HLAudioEdit::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeString(QStringLiteral("kNSCodingName"), m_strName);
    coder.encodeFloat(QStringLiteral("kNSCodingDuration"), m_dDuration);
    coder.encodeFloat(QStringLiteral("kNSCodingTrimMin"), m_dTrimMin);
    coder.encodeFloat(QStringLiteral("kNSCodingTrimMax"), m_dTrimMax);
    coder.encodeFloat(QStringLiteral("kNSCodingFadeIn"), m_dFadeIn);
    coder.encodeFloat(QStringLiteral("kNSCodingFadeOut"), m_dFadeOut);
    coder.encodeFloat(QStringLiteral("kNSCodingVolume"), m_dVolume);
}

std::shared_ptr<HLAudioEdit> HLAudioEdit::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto edit = std::make_shared<HLAudioEdit>();
    edit->m_strName = coder.decodeString(QStringLiteral("kNSCodingName"));
    edit->m_dDuration = coder.decodeFiniteFloat(QStringLiteral("kNSCodingDuration"));
    edit->m_dTrimMin = coder.decodeFiniteFloat(QStringLiteral("kNSCodingTrimMin"));
    edit->m_dTrimMax = coder.decodeFiniteFloat(QStringLiteral("kNSCodingTrimMax"));
    edit->m_dFadeIn = coder.decodeFiniteFloat(QStringLiteral("kNSCodingFadeIn"));
    edit->m_dFadeOut = coder.decodeFiniteFloat(QStringLiteral("kNSCodingFadeOut"));
    edit->m_dVolume = coder.decodeFiniteFloat(QStringLiteral("kNSCodingVolume"));
    // A damaged file must not leave a trim the setters could never make: an empty or
    // inverted kept part would loop endlessly, a negative fade or gain turns the sound over.
    if (!(edit->m_dDuration > 0))
        throw HLArchiveError(QStringLiteral("HLAudioEdit: kNSCodingDuration %1 is no music length")
                                 .arg(double(edit->m_dDuration)));
    edit->p_keepTrimInside();
    edit->m_dFadeIn = nonNegative(edit->m_dFadeIn);
    edit->m_dFadeOut = nonNegative(edit->m_dFadeOut);
    edit->m_dVolume = nonNegative(edit->m_dVolume);
    return edit;
}
