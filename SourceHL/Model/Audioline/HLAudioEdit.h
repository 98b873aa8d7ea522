#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QString>

#include <memory>

class HLKeyedUnarchiver;

// How a music clip plays: the kept part of the file, its fades and its gain. Times are
// seconds of the file; the kept part stays at least a second long when the file is.
class HLAudioEdit : public HLCoding
{
public:
    // Null unless the name is non-empty and the duration above 0.
    static std::shared_ptr<HLAudioEdit> audioEditOf(const QString &name, float duration);

    bool isEqual(const HLAudioEdit &other) const;

    void setDTrimMin(float value);
    void setDTrimMax(float value);

    // Takes the trim, fades and volume of other, or the defaults when null; name and
    // duration stay.
    void keepTheSame(const HLAudioEdit *other);
    void reset();
    float trimDuration() const;

    // The trim line's selection: positions as fractions of the file.
    float trimRatioMin() const;
    void updateTrimRatioMin(float ratio);
    float trimRatioMax() const;
    void updateTrimRatioMax(float ratio);

    // The setters keep the archive's domains: values that are no finite number are ignored,
    // a length not above 0 too; fades and volume are never negative.
    float dDuration() const { return m_dDuration; }
    void setDDuration(float value);
    float dTrimMin() const { return m_dTrimMin; }
    float dTrimMax() const { return m_dTrimMax; }
    float dFadeIn() const { return m_dFadeIn; }
    void setDFadeIn(float value);
    float dFadeOut() const { return m_dFadeOut; }
    void setDFadeOut(float value);
    float dVolume() const { return m_dVolume; }
    void setDVolume(float value);
    QString strName() const { return m_strName; }
    void setStrName(const QString &name) { m_strName = name; }

    QString className() const override { return QStringLiteral("HLAudioEdit"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Refuses (HLArchiveError) values that are no finite numbers and a length that is no
    // music; takes trims, fades and gain into the ranges the setters keep.
    static std::shared_ptr<HLAudioEdit> initWithCoder(HLKeyedUnarchiver &coder);

private:
    void p_keepTrimInside();
    float m_dDuration = 0;
    float m_dTrimMin = 0;
    float m_dTrimMax = 0;
    float m_dFadeIn = 3.0f;
    float m_dFadeOut = 3.0f;
    float m_dVolume = 1.0f;
    QString m_strName;
};
