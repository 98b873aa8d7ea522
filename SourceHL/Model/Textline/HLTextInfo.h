#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QImage>
#include <QString>
#include <QVariantMap>

#include <memory>

class HLKeyedUnarchiver;

// What a template title keeps of its text template, by value: the name the renderer looks
// the template up by, and its thumbnail.
class HLTextInfo : public HLCoding
{
public:
    // Named "Static", with the picture "StaticText.png" of the resource folder as thumbnail
    // (a null picture when the file is missing).
    static std::shared_ptr<HLTextInfo> staticTextInfo(const QString &resourceFolder);
    // Null unless the dictionary's "QuartzType" is "QuartzTypeText" and it names the template
    // under "QuartzName"; the thumbnail is the picture under "ThumbnailName".
    static std::shared_ptr<HLTextInfo> textInfoOf(const QVariantMap &dictionary);

    QString strName() const { return m_strName; }
    QImage imgThumb() const { return m_imgThumb; }

    QString className() const override { return QStringLiteral("HLTextInfo"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // An empty name is refused: the renderer could not find the template.
    static std::shared_ptr<HLTextInfo> initWithCoder(HLKeyedUnarchiver &coder);

private:
    QString m_strName;
    QImage m_imgThumb;
};
