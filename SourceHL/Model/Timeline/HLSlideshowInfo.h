#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QImage>
#include <QString>
#include <QVariantMap>

#include <memory>

class HLKeyedUnarchiver;

// What a slideshow item keeps of its slideshow template, by value: the name the renderers
// look the template up by, its thumbnail, and the numbers of its property list. Lengths are
// the template's own (solid) seconds.
class HLSlideshowInfo : public HLCoding
{
public:
    // Null unless the dictionary's "QuartzType" is "QuartzTypeSlideshow". Absent keys give
    // 0 or false; numbers and flags may be written as strings.
    static std::shared_ptr<HLSlideshowInfo> slideshowInfoOf(const QVariantMap &dictionary);

    QString strName() const { return m_strName; }
    void setStrName(const QString &name) { m_strName = name; }
    QImage imgThumb() const { return m_imgThumb; }
    void setImgThumb(const QImage &thumb) { m_imgThumb = thumb; }
    qint64 iBestCount() const { return m_iBestCount; }
    void setIBestCount(qint64 count) { m_iBestCount = count; }
    float dBestDuration() const { return m_dBestDuration; }
    void setDBestDuration(float duration) { m_dBestDuration = duration; }
    bool bPreferBack() const { return m_bPreferBack; }
    void setBPreferBack(bool prefer) { m_bPreferBack = prefer; }
    bool bPreferBorder() const { return m_bPreferBorder; }
    void setBPreferBorder(bool prefer) { m_bPreferBorder = prefer; }
    float dDuration_T_S() const { return m_dDuration_T_S; }
    void setDDuration_T_S(float duration) { m_dDuration_T_S = duration; }
    float dDuration_S() const { return m_dDuration_S; }
    void setDDuration_S(float duration) { m_dDuration_S = duration; }
    float dDuration_T() const { return m_dDuration_T; }
    void setDDuration_T(float duration) { m_dDuration_T = duration; }
    float dDuration_T_A() const { return m_dDuration_T_A; }
    void setDDuration_T_A(float duration) { m_dDuration_T_A = duration; }
    float dDuration_T_A_2() const { return m_dDuration_T_A_2; }
    void setDDuration_T_A_2(float duration) { m_dDuration_T_A_2 = duration; }
    float dDuration_T_B() const { return m_dDuration_T_B; }
    void setDDuration_T_B(float duration) { m_dDuration_T_B = duration; }
    float dDuration_T_B_2() const { return m_dDuration_T_B_2; }
    void setDDuration_T_B_2(float duration) { m_dDuration_T_B_2 = duration; }

    QString className() const override { return QStringLiteral("HLSlideshowInfo"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Phase lengths that are no number are refused, negative ones taken as 0.
    static std::shared_ptr<HLSlideshowInfo> initWithCoder(HLKeyedUnarchiver &coder);

private:
    QString m_strName;
    QImage m_imgThumb;
    qint64 m_iBestCount = 0;
    float m_dBestDuration = 0;
    bool m_bPreferBack = false;
    bool m_bPreferBorder = false;
    float m_dDuration_T_S = 0;
    float m_dDuration_S = 0;
    float m_dDuration_T = 0;
    float m_dDuration_T_A = 0;
    float m_dDuration_T_A_2 = 0;
    float m_dDuration_T_B = 0;
    float m_dDuration_T_B_2 = 0;
};
