#include "SourceHL/Model/Textline/HLTextInfo.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "Platform/Foundation/HLPropertyList.h"

#include <QDir>

namespace {

const QString kNSCodingName = QStringLiteral("kNSCodingName");
const QString kNSCodingThumb = QStringLiteral("kNSCodingThumb");

// Keys of the template catalogue's info dictionaries.
const QString kQuartzTypeKey = QStringLiteral("QuartzType");
const QString kQuartzTypeValueText = QStringLiteral("QuartzTypeText");
const QString kQuartzKeyName = QStringLiteral("QuartzName");
const QString kQuartzKeyThumbName = QStringLiteral("ThumbnailName");

} // namespace

std::shared_ptr<HLTextInfo> HLTextInfo::staticTextInfo(const QString &resourceFolder)
{
    auto info = std::make_shared<HLTextInfo>();
    info->m_strName = QStringLiteral("Static");
    info->m_imgThumb = QImage(QDir(resourceFolder).filePath(QStringLiteral("StaticText.png")));
    return info;
}

std::shared_ptr<HLTextInfo> HLTextInfo::textInfoOf(const QVariantMap &dictionary)
{
    if (HLPropertyList::string(dictionary, kQuartzTypeKey) != kQuartzTypeValueText)
        return nullptr;
    const QString name = HLPropertyList::string(dictionary, kQuartzKeyName);
    // A template without a name could never be rendered; the title stays static instead.
    if (name.isEmpty())
        return nullptr;
    auto info = std::make_shared<HLTextInfo>();
    info->m_strName = name;
    info->m_imgThumb = dictionary.value(kQuartzKeyThumbName).value<QImage>();
    return info;
}

void HLTextInfo::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeString(kNSCodingName, m_strName);
    coder.encodeImage(kNSCodingThumb, m_imgThumb);
}

std::shared_ptr<HLTextInfo> HLTextInfo::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto info = std::make_shared<HLTextInfo>();
    info->m_strName = coder.decodeString(kNSCodingName);
    if (info->m_strName.isEmpty())
        throw HLArchiveError(QStringLiteral("HLTextInfo: %1 is empty").arg(kNSCodingName));
    info->m_imgThumb = coder.decodeImage(kNSCodingThumb);
    return info;
}
