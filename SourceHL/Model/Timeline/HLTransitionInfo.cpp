#include "SourceHL/Model/Timeline/HLTransitionInfo.h"

#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "Platform/Foundation/HLPropertyList.h"
#include "SourceHL/Model/Timeline/HLQuartzKeys.h"


std::shared_ptr<HLTransitionInfo> HLTransitionInfo::transitionInfoOf(const QVariantMap &dictionary)
{
    if (HLPropertyList::string(dictionary, kQuartzTypeKey) != kQuartzTypeValueTransition)
        return nullptr;
    auto info = std::make_shared<HLTransitionInfo>();
    info->m_strName = HLPropertyList::string(dictionary, kQuartzKeyName);
    info->m_imgThumb = dictionary.value(kQuartzKeyThumbName).value<QImage>();
    info->m_dBestDuration = float(HLPropertyList::number(dictionary, kQuartzKeyBestDuration, 0));
    return info;
}

void HLTransitionInfo::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeString(QStringLiteral("kNSCodingName"), m_strName);
    coder.encodeImage(QStringLiteral("kNSCodingThumb"), m_imgThumb);
    coder.encodeFloat(QStringLiteral("kNSCodingBestDuration"), m_dBestDuration);
}

std::shared_ptr<HLTransitionInfo> HLTransitionInfo::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto info = std::make_shared<HLTransitionInfo>();
    info->m_strName = coder.decodeString(QStringLiteral("kNSCodingName"));
    info->m_imgThumb = coder.decodeImage(QStringLiteral("kNSCodingThumb"));
    const float duration = coder.decodeFiniteFloat(QStringLiteral("kNSCodingBestDuration"));
    info->m_dBestDuration = duration > 0 ? duration : 0.0f;
    return info;
}
