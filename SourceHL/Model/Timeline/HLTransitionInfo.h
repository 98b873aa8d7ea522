#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QImage>
#include <QString>
#include <QVariantMap>

#include <memory>

class HLKeyedUnarchiver;

// What a slideshow item keeps of its transition template, by value.
class HLTransitionInfo : public HLCoding
{
public:
    // Null unless the dictionary's "QuartzType" is "QuartzTypeTransition".
    static std::shared_ptr<HLTransitionInfo> transitionInfoOf(const QVariantMap &dictionary);

    QString strName() const { return m_strName; }
    void setStrName(const QString &name) { m_strName = name; }
    QImage imgThumb() const { return m_imgThumb; }
    void setImgThumb(const QImage &thumb) { m_imgThumb = thumb; }
    // The default transition length in seconds.
    float dBestDuration() const { return m_dBestDuration; }
    void setDBestDuration(float duration) { m_dBestDuration = duration; }

    QString className() const override { return QStringLiteral("HLTransitionInfo"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // A length that is no number is refused, a negative one taken as 0.
    static std::shared_ptr<HLTransitionInfo> initWithCoder(HLKeyedUnarchiver &coder);

private:
    QString m_strName;
    QImage m_imgThumb;
    float m_dBestDuration = 0;
};
