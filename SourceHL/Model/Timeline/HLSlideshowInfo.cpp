#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"

#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "Platform/Foundation/HLPropertyList.h"
#include "SourceHL/Model/Timeline/HLQuartzKeys.h"


std::shared_ptr<HLSlideshowInfo> HLSlideshowInfo::slideshowInfoOf(const QVariantMap &dictionary)
{
    if (HLPropertyList::string(dictionary, kQuartzTypeKey) != kQuartzTypeValueSlideshow)
        return nullptr;
    auto info = std::make_shared<HLSlideshowInfo>();
    info->m_strName = HLPropertyList::string(dictionary, kQuartzKeyName);
    info->m_imgThumb = dictionary.value(kQuartzKeyThumbName).value<QImage>();
    info->m_iBestCount = HLPropertyList::integer(dictionary, kQuartzKeyBestCount, 0);
    info->m_dBestDuration = float(HLPropertyList::number(dictionary, kQuartzKeyBestDuration, 0));
    info->m_bPreferBack = HLPropertyList::boolean(dictionary, kQuartzKeyDecorationBack, false);
    info->m_bPreferBorder = HLPropertyList::boolean(dictionary, kQuartzKeyDecorationBorder, false);
    info->m_dDuration_T_S = float(HLPropertyList::number(dictionary, kQuartzKeyDurationTS, 0));
    info->m_dDuration_S = float(HLPropertyList::number(dictionary, kQuartzKeyDurationS, 0));
    info->m_dDuration_T = float(HLPropertyList::number(dictionary, kQuartzKeyDurationT, 0));
    info->m_dDuration_T_A = float(HLPropertyList::number(dictionary, kQuartzKeyDurationTA, 0));
    info->m_dDuration_T_A_2 = float(HLPropertyList::number(dictionary, kQuartzKeyDurationTA2, 0));
    info->m_dDuration_T_B = float(HLPropertyList::number(dictionary, kQuartzKeyDurationTB, 0));
    info->m_dDuration_T_B_2 = float(HLPropertyList::number(dictionary, kQuartzKeyDurationTB2, 0));
    return info;
}

void HLSlideshowInfo::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeString(QStringLiteral("kNSCodingName"), m_strName);
    coder.encodeImage(QStringLiteral("kNSCodingThumb"), m_imgThumb);
    coder.encodeInt64(QStringLiteral("kNSCodingBestCount"), m_iBestCount);
    coder.encodeFloat(QStringLiteral("kNSCodingBestDuration"), m_dBestDuration);
    coder.encodeBool(QStringLiteral("kNSCodingPreferBack"), m_bPreferBack);
    coder.encodeBool(QStringLiteral("kNSCodingPreferBorder"), m_bPreferBorder);
    coder.encodeFloat(QStringLiteral("kNSCodingDuration_T_S"), m_dDuration_T_S);
    coder.encodeFloat(QStringLiteral("kNSCodingDuration_S"), m_dDuration_S);
    coder.encodeFloat(QStringLiteral("kNSCodingDuration_T"), m_dDuration_T);
    coder.encodeFloat(QStringLiteral("kNSCodingDuration_T_A"), m_dDuration_T_A);
    coder.encodeFloat(QStringLiteral("kNSCodingDuration_T_A_2"), m_dDuration_T_A_2);
    coder.encodeFloat(QStringLiteral("kNSCodingDuration_T_B"), m_dDuration_T_B);
    coder.encodeFloat(QStringLiteral("kNSCodingDuration_T_B_2"), m_dDuration_T_B_2);
}

std::shared_ptr<HLSlideshowInfo> HLSlideshowInfo::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto info = std::make_shared<HLSlideshowInfo>();
    info->m_strName = coder.decodeString(QStringLiteral("kNSCodingName"));
    info->m_imgThumb = coder.decodeImage(QStringLiteral("kNSCodingThumb"));
    info->m_iBestCount = coder.decodeInt64(QStringLiteral("kNSCodingBestCount"));
    info->m_dBestDuration = coder.decodeFiniteFloat(QStringLiteral("kNSCodingBestDuration"));
    info->m_bPreferBack = coder.decodeBool(QStringLiteral("kNSCodingPreferBack"));
    info->m_bPreferBorder = coder.decodeBool(QStringLiteral("kNSCodingPreferBorder"));
    const struct {
        const char *key;
        float *field;
    } lengths[] = {
        {"kNSCodingDuration_T_S", &info->m_dDuration_T_S},
        {"kNSCodingDuration_S", &info->m_dDuration_S},
        {"kNSCodingDuration_T", &info->m_dDuration_T},
        {"kNSCodingDuration_T_A", &info->m_dDuration_T_A},
        {"kNSCodingDuration_T_A_2", &info->m_dDuration_T_A_2},
        {"kNSCodingDuration_T_B", &info->m_dDuration_T_B},
        {"kNSCodingDuration_T_B_2", &info->m_dDuration_T_B_2},
    };
    for (const auto &length : lengths) {
        const float value = coder.decodeFiniteFloat(QString::fromLatin1(length.key));
        *length.field = value > 0 ? value : 0.0f;
    }
    return info;
}
