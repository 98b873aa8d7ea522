#include "SourceHL/Model/Audioline/HLAudioItem.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float closingFade = 3.0f;

} // namespace

std::shared_ptr<HLAudioItem> HLAudioItem::audioItemOf(const QString &identifier,
                                                      const std::shared_ptr<HLResourceItem> &resource)
{
    if (identifier.isEmpty() || !resource || !resource->isAudio())
        return nullptr;
    auto edit = HLAudioEdit::audioEditOf(resource->audioName(), resource->audioDuration());
    if (!edit)
        return nullptr;
    auto item = std::make_shared<HLAudioItem>();
    item->m_strAUID = identifier;
    item->m_oResource = resource;
    item->m_oEdit = std::move(edit);
    return item;
}

bool HLAudioItem::isEqual(const HLAudioItem &other) const
{
    if (this == &other)
        return true;
    const bool sameResource = m_oResource && other.m_oResource ? m_oResource->isEqual(*other.m_oResource)
                                                               : m_oResource == other.m_oResource;
    const bool sameEdit = m_oEdit && other.m_oEdit ? m_oEdit->isEqual(*other.m_oEdit) : m_oEdit == other.m_oEdit;
    return m_strAUID == other.m_strAUID && sameResource && sameEdit && m_dPlayMin == other.m_dPlayMin
        && m_dPlayMax == other.m_dPlayMax;
}

QString HLAudioItem::debugDescription() const
{
    return QString::asprintf("Start:%.2f  --  Stop:%.2f", double(m_dPlayMin), double(m_dPlayMax));
}

QString HLAudioItem::strName() const
{
    return m_oResource ? m_oResource->audioName() : QString();
}

float HLAudioItem::dTrimDuration() const
{
    return m_oEdit ? m_oEdit->trimDuration() : 0.0f;
}

void HLAudioItem::setDPlayMin(float value)
{
    if (std::isnan(value))
        return;
    m_dPlayMin = std::min(std::max(value, 0.0f), m_dPlayMax);
}

void HLAudioItem::setDPlayMax(float value)
{
    if (!std::isfinite(value))
        return; // the archive holds finite ranges
    m_dPlayMax = std::max(value, m_dPlayMin);
}

void HLAudioItem::updatePlayMin(float min, float max)
{
    if (!(min >= 0) || !(max >= min) || !std::isfinite(max))
        return;
    m_dPlayMin = min;
    m_dPlayMax = max;
}

bool HLAudioItem::contains(float time) const
{
    return m_dPlayMin < time && time < m_dPlayMax;
}

bool HLAudioItem::didLoad() const
{
    return m_oPlayer != nullptr;
}

bool HLAudioItem::playBeyond() const
{
    if (!m_oPlayer || !m_oEdit)
        return false;
    const double position = zk_ff_time_to_double(m_oPlayer->currentTime());
    return position < m_oEdit->dTrimMin() || position > m_oEdit->dTrimMax();
}

void HLAudioItem::loadAudio()
{
    if (!m_oResource)
        return;
    // A movie of the clip's own: another user of the resource may be playing its movie.
    const HLResourceObject object = m_oResource->openPreview();
    if (const auto *movie = std::get_if<std::shared_ptr<ZKFFMovie>>(&object))
        m_oPlayer = *movie;
    // The kept part repeats on its exact samples and nothing past its end is heard.
    if (m_oPlayer && m_oEdit)
        m_oPlayer->setPlayLoop(zk_ff_time_from_double(m_oEdit->dTrimMin()), zk_ff_time_from_double(m_oEdit->dTrimMax()));
}

void HLAudioItem::unloadAudio()
{
    m_oPlayer.reset();
}

void HLAudioItem::play()
{
    if (m_oPlayer)
        m_oPlayer->play();
}

void HLAudioItem::playFromFrame(qint64 frame)
{
    if (m_oPlayer)
        m_oPlayer->playFromFrame(frame);
}

void HLAudioItem::stopAtFrame(qint64 frame)
{
    if (m_oPlayer)
        m_oPlayer->stopAtFrame(frame);
}

void HLAudioItem::pause()
{
    if (m_oPlayer)
        m_oPlayer->pause();
}

void HLAudioItem::globalSeek(float time)
{
    if (contains(time))
        localSeek(time - m_dPlayMin);
}

// Positive times wrap into (0, d], so that every repetition of the kept part counts on its own.
float HLAudioItem::p_wrapped(float local) const
{
    const float d = dTrimDuration();
    if (d > 0 && local > d) {
        local = std::fmod(local, d);
        if (local == 0)
            local = d;
    }
    return local;
}

void HLAudioItem::localSeek(float local)
{
    if (!m_oPlayer || !m_oEdit)
        return;
    const float position = m_oEdit->dTrimMin() + p_wrapped(local);
    m_oPlayer->setCurrentTime(zk_ff_time_from_double(position));
}

float HLAudioItem::globalVolume(float time) const
{
    return contains(time) ? localVolume(time - m_dPlayMin) : 0.0f;
}

float HLAudioItem::localVolume(float local) const
{
    if (!m_oEdit)
        return 0;
    const float d = dTrimDuration();
    const float l = p_wrapped(local);
    const float fadeIn = m_oEdit->dFadeIn();
    const float fadeOut = m_oEdit->dFadeOut();
    constexpr float none = std::numeric_limits<float>::infinity();
    // Both ramps keep their slopes; where they overlap the lower one wins, so the gain still
    // reaches 0 at the end of every repetition and a loop never clicks.
    const float in = fadeIn > 0 ? l / fadeIn : none;
    const float out = fadeOut > 0 ? (d - l) / fadeOut : none;
    const float factor = std::clamp(std::min({1.0f, in, out}), 0.0f, 1.0f);
    return m_oEdit->dVolume() * factor;
}

float HLAudioItem::fadeOutVolume(float time) const
{
    if (!contains(time) || time + closingFade < m_dPlayMax)
        return 1.0f;
    return (m_dPlayMax - time) / std::min(closingFade, m_dPlayMax - m_dPlayMin);
}

void HLAudioItem::setVolume(float volume)
{
    if (m_oPlayer)
        m_oPlayer->setPlayVolume(double(volume));
}

void HLAudioItem::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeString(QStringLiteral("kNSCodingAUID"), m_strAUID);
    coder.encodeObject(QStringLiteral("kNSCodingResource"), m_oResource);
    coder.encodeObject(QStringLiteral("kNSCodingEdit"), m_oEdit);
    coder.encodeFloat(QStringLiteral("kNSCodingPlayMin"), m_dPlayMin);
    coder.encodeFloat(QStringLiteral("kNSCodingPlayMax"), m_dPlayMax);
}

std::shared_ptr<HLAudioItem> HLAudioItem::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto item = std::make_shared<HLAudioItem>();
    item->m_strAUID = coder.decodeString(QStringLiteral("kNSCodingAUID"));
    item->m_oResource = coder.decodeObject<HLResourceItem>(QStringLiteral("kNSCodingResource"));
    item->m_oEdit = coder.decodeObject<HLAudioEdit>(QStringLiteral("kNSCodingEdit"));
    item->m_dPlayMin = coder.decodeFloat(QStringLiteral("kNSCodingPlayMin"));
    item->m_dPlayMax = coder.decodeFloat(QStringLiteral("kNSCodingPlayMax"));
    if (item->m_strAUID.isEmpty())
        throw HLArchiveError(QStringLiteral("kNSCodingAUID: empty clip identifier"));
    if (!item->m_oResource->isAudio())
        throw HLArchiveError(QStringLiteral("kNSCodingResource: the clip's resource is no music"));
    if (!std::isfinite(item->m_dPlayMax) || !(item->m_dPlayMin >= 0) || !(item->m_dPlayMax >= item->m_dPlayMin))
        throw HLArchiveError(QStringLiteral("kNSCodingPlayMin: play range %1 to %2")
                                 .arg(double(item->m_dPlayMin))
                                 .arg(double(item->m_dPlayMax)));
    return item;
}
