#include "SourceHL/Model/Textline/HLTextItem.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextInfo.h"

#include <cmath>
#include <cstdio>

namespace {

const QString kNSCodingTTID = QStringLiteral("kNSCodingTTID");
const QString kNSCodingTextInfo = QStringLiteral("kNSCodingTextInfo");
const QString kNSCodingTextEdit = QStringLiteral("kNSCodingTextEdit");
const QString kNSCodingLineMin = QStringLiteral("kNSCodingLineMin");
const QString kNSCodingLineMax = QStringLiteral("kNSCodingLineMax");
const QString kNSCodingPlayMin = QStringLiteral("kNSCodingPlayMin");
const QString kNSCodingPlayMax = QStringLiteral("kNSCodingPlayMax");

// Comparisons written so that no number (NaN) falls to the lower bound.
float clampUnit(float value)
{
    const float low = value > 0 ? value : 0.0f;
    return low < 1 ? low : 1.0f;
}

// A range as the setters would have kept it: start at least 0, end at least start.
void decodeRange(HLKeyedUnarchiver &coder, const QString &minKey, const QString &maxKey, float &min, float &max)
{
    const float start = coder.decodeFiniteFloat(minKey);
    const float end = coder.decodeFiniteFloat(maxKey);
    min = start > 0 ? start : 0.0f;
    max = end > min ? end : min;
}

} // namespace

std::shared_ptr<HLTextItem> HLTextItem::textItemOf(const QString &ttid, const QVariantMap &dictionary)
{
    if (ttid.isEmpty())
        return nullptr;
    auto item = std::make_shared<HLTextItem>();
    item->m_strTTID = ttid;
    item->m_oTextEdit = HLTextEdit::textEdit();
    item->updateText(dictionary);
    return item;
}

std::shared_ptr<HLTextItem> HLTextItem::copy() const
{
    auto item = std::make_shared<HLTextItem>();
    item->m_strTTID = m_strTTID;
    item->m_oTextInfo = m_oTextInfo;
    item->m_oTextEdit = m_oTextEdit->copy();
    item->m_dLineMin = m_dLineMin;
    item->m_dLineMax = m_dLineMax;
    item->m_dPlayMin = m_dPlayMin;
    item->m_dPlayMax = m_dPlayMax;
    return item;
}

bool HLTextItem::isEqual(const HLTextItem &other) const
{
    if (this == &other)
        return true;
    if (m_strTTID != other.m_strTTID)
        return false;
    if (bool(m_oTextInfo) != bool(other.m_oTextInfo))
        return false;
    if (m_oTextInfo && m_oTextInfo->strName() != other.m_oTextInfo->strName())
        return false;
    return m_oTextEdit->isEqual(*other.m_oTextEdit)
        && m_dLineMin == other.m_dLineMin
        && m_dLineMax == other.m_dLineMax
        && m_dPlayMin == other.m_dPlayMin
        && m_dPlayMax == other.m_dPlayMax;
}

QString HLTextItem::description() const
{
    // The C library's rounding (half to even on the exact binary value), as the log format expects.
    char text[160];
    std::snprintf(text, sizeof text, "LineMin:%.2f   LineMax:%.2f   PlayMin:%.2f   PlayMax:%.2f",
                  double(m_dLineMin), double(m_dLineMax), double(m_dPlayMin), double(m_dPlayMax));
    return QString::fromLatin1(text);
}

void HLTextItem::updateText(const QVariantMap &dictionary)
{
    m_oTextInfo = HLTextInfo::textInfoOf(dictionary);
    m_oTextEdit->setEnType(m_oTextInfo ? HLTextEdit::HLTextEditTypeDynamic : HLTextEdit::HLTextEditTypeStatic);
}

float HLTextItem::dynamicMoveInRatio() const
{
    const float d = playDuration();
    const float in = m_oTextEdit->dDynamicMoveIn();
    return (d >= in ? in : d) / d;
}

float HLTextItem::dynamicMoveOutRatio() const
{
    const float d = playDuration();
    const float in = m_oTextEdit->dDynamicMoveIn();
    const float out = m_oTextEdit->dDynamicMoveOut();
    return (d >= in + out ? d - out : in) / d;
}

float HLTextItem::dynamicCenterX() const
{
    return clampUnit(m_oTextEdit->dCenterX());
}

float HLTextItem::dynamicCenterY() const
{
    return clampUnit(m_oTextEdit->dCenterY());
}

void HLTextItem::updateLineMin(float value)
{
    if (std::isnan(value))
        return;
    value = value > 0 ? value : 0.0f;
    value = value < m_dLineMax ? value : m_dLineMax;
    if (value != m_dLineMin)
        m_dLineMin = value;
}

void HLTextItem::updateLineMax(float value)
{
    if (!std::isfinite(value))
        return; // the archive holds finite ranges
    value = value > m_dLineMin ? value : m_dLineMin;
    if (value != m_dLineMax)
        m_dLineMax = value;
}

void HLTextItem::updateLineMin(float start, float lineMax)
{
    if (start >= 0 && lineMax >= start && std::isfinite(lineMax)) {
        m_dLineMin = start;
        m_dLineMax = lineMax;
    }
}

float HLTextItem::lineDuration() const
{
    return m_dLineMax - m_dLineMin;
}

void HLTextItem::updatePlayMin(float start, float playMax)
{
    if (start >= 0 && playMax >= start && std::isfinite(playMax)) {
        m_dPlayMin = start;
        m_dPlayMax = playMax;
    }
}

float HLTextItem::playDuration() const
{
    return m_dPlayMax - m_dPlayMin;
}

float HLTextItem::p_resizeRatioOfDisplaySize(QSizeF displaySize, QSizeF testSize)
{
    const float a = float(displaySize.width() / displaySize.height());
    const float b = float(testSize.width() / testSize.height());
    // Fit the frame's shape inside the reference canvas.
    const double fittedWidth = a > b ? testSize.width() : testSize.height() * a;
    return float(displaySize.width() / fittedWidth);
}

void HLTextItem::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeString(kNSCodingTTID, m_strTTID);
    coder.encodeObject(kNSCodingTextInfo, m_oTextInfo);
    coder.encodeObject(kNSCodingTextEdit, m_oTextEdit);
    coder.encodeFloat(kNSCodingLineMin, m_dLineMin);
    coder.encodeFloat(kNSCodingLineMax, m_dLineMax);
    coder.encodeFloat(kNSCodingPlayMin, m_dPlayMin);
    coder.encodeFloat(kNSCodingPlayMax, m_dPlayMax);
}

std::shared_ptr<HLTextItem> HLTextItem::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto item = std::make_shared<HLTextItem>();
    item->m_strTTID = coder.decodeString(kNSCodingTTID);
    if (item->m_strTTID.isEmpty())
        throw HLArchiveError(QStringLiteral("HLTextItem: %1 is empty").arg(kNSCodingTTID));
    item->m_oTextInfo = coder.decodeOptionalObject<HLTextInfo>(kNSCodingTextInfo);
    item->m_oTextEdit = coder.decodeObject<HLTextEdit>(kNSCodingTextEdit);
    // The renderer needs the template's name to draw template text.
    if (item->m_oTextEdit->enType() == HLTextEdit::HLTextEditTypeDynamic && !item->m_oTextInfo)
        throw HLArchiveError(QStringLiteral("HLTextItem: template title \"%1\" without %2")
                                 .arg(item->m_strTTID, kNSCodingTextInfo));
    decodeRange(coder, kNSCodingLineMin, kNSCodingLineMax, item->m_dLineMin, item->m_dLineMax);
    decodeRange(coder, kNSCodingPlayMin, kNSCodingPlayMax, item->m_dPlayMin, item->m_dPlayMax);
    return item;
}
