#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"


#include "Frameworks/Korvane/ZKTime.h"
#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include <algorithm>
#include <cmath>

std::shared_ptr<HLRenderEditTrim> HLRenderEditTrim::editTrimOf(float duration)
{
    if (duration == 0)
        return nullptr;
    auto trim = std::make_shared<HLRenderEditTrim>();
    trim->m_dDuration = duration;
    trim->reset();
    return trim;
}

QString HLRenderEditTrim::description() const
{
    return QString::asprintf("%s  -  Min:%.1f  -  Max:%.1f", "HLRenderEditTrim", double(m_dTrimMin),
                             double(m_dTrimMax));
}

bool HLRenderEditTrim::isEqual(const HLRenderEditTrim &other) const
{
    if (this == &other)
        return true;
    return m_dDuration == other.m_dDuration && m_dTrimMin == other.m_dTrimMin
           && m_dTrimMax == other.m_dTrimMax && m_dVolume == other.m_dVolume
           && m_bSolo == other.m_bSolo;
}

std::shared_ptr<HLRenderEditTrim> HLRenderEditTrim::copy() const
{
    auto trim = std::make_shared<HLRenderEditTrim>();
    trim->keepTheSame(this);
    return trim;
}

void HLRenderEditTrim::reset()
{
    keepTheSame(nullptr);
}

void HLRenderEditTrim::keepTheSame(const HLRenderEditTrim *other)
{
    if (other) {
        m_dDuration = other->m_dDuration;
        m_dTrimMin = other->m_dTrimMin;
        m_dTrimMax = other->m_dTrimMax;
        m_dVolume = other->m_dVolume;
        m_bSolo = other->m_bSolo;
    } else {
        m_dTrimMin = 0;
        m_dTrimMax = m_dDuration;
        m_dVolume = 1.0f;
        m_bSolo = true;
    }
}

void HLRenderEditTrim::setDTrimMin(float value)
{
    double upper = double(m_dTrimMax) - 1.0;
    if (!(upper > 0))
        upper = 0;
    const float stored = float(std::min(upper, double(std::max(value, 0.0f))));
    if (stored != m_dTrimMin)
        m_dTrimMin = stored;
}

void HLRenderEditTrim::setDTrimMax(float value)
{
    const double lower = std::min(double(m_dDuration), double(m_dTrimMin) + 1.0);
    const float stored = float(std::min(double(m_dDuration), std::max(double(value), lower)));
    if (stored != m_dTrimMax)
        m_dTrimMax = stored;
}

void HLRenderEditTrim::setDDuration(float duration)
{
    if (duration > 0 && std::isfinite(duration))
        m_dDuration = duration;
}

void HLRenderEditTrim::setDVolume(float value)
{
    if (std::isinf(value))
        return; // the archive holds finite gains
    const float stored = value >= 0 ? value : 0.0f;
    if (stored != m_dVolume)
        m_dVolume = stored;
}

float HLRenderEditTrim::trimedDuraton() const
{
    return m_dTrimMax - m_dTrimMin;
}

float HLRenderEditTrim::mappedTime(float time) const
{
    return float(zk_ff_time_to_double(mappedTicks(zk_ff_time_from_double(time))));
}

qint64 HLRenderEditTrim::mappedTicks(qint64 time) const
{
    return std::min(zk_ff_time_from_double(m_dDuration), std::max<qint64>(0, time + zk_ff_time_from_double(m_dTrimMin)));
}

float HLRenderEditTrim::trimRatioMin() const
{
    return m_dTrimMin / m_dDuration;
}

void HLRenderEditTrim::updateTrimRatioMin(float ratio)
{
    HL_ASSERT(ratio >= 0 && ratio <= 1, "wrong para");
    setDTrimMin(m_dDuration * ratio);
}

float HLRenderEditTrim::trimRatioMax() const
{
    return m_dTrimMax / m_dDuration;
}

void HLRenderEditTrim::updateTrimRatioMax(float ratio)
{
    HL_ASSERT(ratio >= 0 && ratio <= 1, "wrong para");
    setDTrimMax(m_dDuration * ratio);
}

bool HLRenderEditTrim::mendDecoded()
{
    if (!std::isfinite(m_dDuration) || !(m_dDuration > 0) || !std::isfinite(m_dTrimMin)
        || !std::isfinite(m_dTrimMax) || !std::isfinite(m_dVolume))
        return false;
    m_dTrimMax = std::clamp(m_dTrimMax, 0.0f, m_dDuration);
    setDTrimMin(m_dTrimMin);
    setDTrimMax(m_dTrimMax);
    setDVolume(m_dVolume);
    return true;
}

void HLRenderEditTrim::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeFloat(QStringLiteral("kNSCodingTrimMin"), m_dTrimMin);
    coder.encodeFloat(QStringLiteral("kNSCodingTrimMax"), m_dTrimMax);
    coder.encodeFloat(QStringLiteral("kNSCodingDuration"), m_dDuration);
    coder.encodeFloat(QStringLiteral("kNSCodingVolume"), m_dVolume);
    coder.encodeBool(QStringLiteral("kNSCodingSolo"), m_bSolo);
}

std::shared_ptr<HLRenderEditTrim> HLRenderEditTrim::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto trim = std::make_shared<HLRenderEditTrim>();
    trim->m_dTrimMin = coder.decodeFloat(QStringLiteral("kNSCodingTrimMin"));
    trim->m_dTrimMax = coder.decodeFloat(QStringLiteral("kNSCodingTrimMax"));
    trim->m_dDuration = coder.decodeFloat(QStringLiteral("kNSCodingDuration"));
    trim->m_dVolume = coder.decodeFloat(QStringLiteral("kNSCodingVolume"));
    trim->m_bSolo = coder.decodeBool(QStringLiteral("kNSCodingSolo"));
    if (!trim->mendDecoded())
        throw HLArchiveError(QStringLiteral("HLRenderEditTrim: clip length or trim is no usable number"));
    return trim;
}
