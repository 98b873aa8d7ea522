#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QString>

#include <memory>

// Which part of a clip plays, how loud, and whether its sound plays alone. Times are
// seconds of the clip's own time line; the start stays a second before the end when the
// clip is long enough.
class HLKeyedUnarchiver;

class HLRenderEditTrim : public HLCoding
{
public:
    // nullptr for a clip of length exactly 0.
    static std::shared_ptr<HLRenderEditTrim> editTrimOf(float duration);

    QString description() const;
    bool isEqual(const HLRenderEditTrim &other) const;
    std::shared_ptr<HLRenderEditTrim> copy() const;

    void reset();
    // Takes every field of other as it is, or the defaults (keeping dDuration) when null.
    void keepTheSame(const HLRenderEditTrim *other);

    float dDuration() const { return m_dDuration; }
    // Ignored unless above 0 and finite, as the archive holds it.
    void setDDuration(float duration);
    float dTrimMin() const { return m_dTrimMin; }
    void setDTrimMin(float value);
    float dTrimMax() const { return m_dTrimMax; }
    void setDTrimMax(float value);
    float dVolume() const { return m_dVolume; }
    void setDVolume(float value);
    bool bSolo() const { return m_bSolo; }
    void setBSolo(bool solo) { m_bSolo = solo; }

    float trimedDuraton() const;
    // Played time to the clip time to decode.
    float mappedTime(float time) const;
    // The same in media ticks, for the frame path, where time never passes through float.
    qint64 mappedTicks(qint64 time) const;

    // The trim line's selection: positions as fractions of the clip.
    float trimRatioMin() const;
    void updateTrimRatioMin(float ratio);
    float trimRatioMax() const;
    void updateTrimRatioMax(float ratio);

    QString className() const override { return QStringLiteral("HLRenderEditTrim"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Refuses (HLArchiveError) what no setter could have stored and cannot be mended.
    static std::shared_ptr<HLRenderEditTrim> initWithCoder(HLKeyedUnarchiver &coder);

private:
    // Stored fields after decoding, brought into the setters' ranges; false when they
    // cannot be mended (no positive finite length, a value that is no number).
    bool mendDecoded();

    float m_dDuration = 0;
    float m_dTrimMin = 0;
    float m_dTrimMax = 0;
    float m_dVolume = 1.0f;
    bool m_bSolo = true;
};
