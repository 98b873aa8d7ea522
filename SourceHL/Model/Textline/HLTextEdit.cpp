#include "SourceHL/Model/Textline/HLTextEdit.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Common/HLColorHelper.h"

#include <algorithm>
#include <cmath>

namespace {

const QString kNSCodingType = QStringLiteral("kNSCodingType");
const QString kNSCodingText = QStringLiteral("kNSCodingText");
const QString kNSCodingFont = QStringLiteral("kNSCodingFont");
const QString kNSCodingFontSize = QStringLiteral("kNSCodingFontSize");
const QString kNSCodingFontColor = QStringLiteral("kNSCodingFontColor");
const QString kNSCodingCenterX = QStringLiteral("kNSCodingCenterX");
const QString kNSCodingCenterY = QStringLiteral("kNSCodingCenterY");
const QString kNSCodingStaticBack = QStringLiteral("kNSCodingStaticBack");
const QString kNSCodingStaticBackColor = QStringLiteral("kNSCodingStaticBackColor");
const QString kNSCodingStaticBackRadius = QStringLiteral("kNSCodingStaticBackRadius");
const QString kNSCodingStaticBackAlpha = QStringLiteral("kNSCodingStaticBackAlpha");
const QString kNSCodingStaticShadow = QStringLiteral("kNSCodingStaticShadow");
const QString kNSCodingStaticShadowColor = QStringLiteral("kNSCodingStaticShadowColor");
const QString kNSCodingStaticShadowRadius = QStringLiteral("kNSCodingStaticShadowRadius");
const QString kNSCodingStaticShadowOffsetX = QStringLiteral("kNSCodingStaticShadowOffsetX");
const QString kNSCodingStaticShadowOffsetY = QStringLiteral("kNSCodingStaticShadowOffsetY");
const QString kNSCodingDynamicMoveIn = QStringLiteral("kNSCodingDynamicMoveIn");
const QString kNSCodingDynamicMoveOut = QStringLiteral("kNSCodingDynamicMoveOut");

// The fields' domains, for the setters and the decoder alike.
bool isTitleType(HLTextEdit::HLTextEditType type)
{
    return type == HLTextEdit::HLTextEditTypeStatic || type == HLTextEdit::HLTextEditTypeDynamic;
}

bool isFontSize(float size)
{
    return size > 0 && size <= HLTextEdit::kMaximumFontSize;
}

float lengthOf(float value)
{
    return std::max(value, 0.0f);
}

float opacityOf(float value)
{
    return std::clamp(value, 0.0f, 1.0f);
}

} // namespace

std::shared_ptr<HLTextEdit> HLTextEdit::textEdit()
{
    auto edit = std::make_shared<HLTextEdit>();
    edit->reset();
    return edit;
}

void HLTextEdit::keepTheSame(const HLTextEdit *other)
{
    if (other) {
        m_enType = other->m_enType;
        m_strText = other->m_strText;
        m_strFont = other->m_strFont;
        m_dFontSize = other->m_dFontSize;
        m_clFont = other->m_clFont;
        m_dCenterX = other->m_dCenterX;
        m_dCenterY = other->m_dCenterY;
        m_bStaticBack = other->m_bStaticBack;
        m_clStaticBack = other->m_clStaticBack;
        m_dStaticBackRadius = other->m_dStaticBackRadius;
        m_dStaticBackAlpha = other->m_dStaticBackAlpha;
        m_bStaticShadow = other->m_bStaticShadow;
        m_clStaticShadow = other->m_clStaticShadow;
        m_dStaticShadowRadius = other->m_dStaticShadowRadius;
        m_dStaticShadowOffsetX = other->m_dStaticShadowOffsetX;
        m_dStaticShadowOffsetY = other->m_dStaticShadowOffsetY;
        m_dDynamicMoveIn = other->m_dDynamicMoveIn;
        m_dDynamicMoveOut = other->m_dDynamicMoveOut;
        return;
    }
    m_enType = HLTextEditTypeStatic;
    m_strText = QStringLiteral("Text Here");
    m_strFont = QStringLiteral("LucidaGrande");
    m_dFontSize = 60;
    m_clFont = Qt::white;
    m_dCenterX = 0.5f;
    m_dCenterY = 0.5f;
    m_bStaticBack = false;
    m_clStaticBack = Qt::black;
    m_dStaticBackRadius = 0;
    m_dStaticBackAlpha = 1;
    m_bStaticShadow = true;
    m_clStaticShadow = Qt::black;
    m_dStaticShadowRadius = 2;
    m_dStaticShadowOffsetX = 1;
    m_dStaticShadowOffsetY = 1;
    m_dDynamicMoveIn = 1;
    m_dDynamicMoveOut = 1;
}

void HLTextEdit::reset()
{
    keepTheSame(nullptr);
}

std::shared_ptr<HLTextEdit> HLTextEdit::copy() const
{
    auto edit = std::make_shared<HLTextEdit>();
    edit->keepTheSame(this);
    return edit;
}

bool HLTextEdit::isEqual(const HLTextEdit &other) const
{
    if (this == &other)
        return true;
    return m_enType == other.m_enType
        && m_strText == other.m_strText
        && m_strFont == other.m_strFont
        && m_dFontSize == other.m_dFontSize
        && hlIsEqual(m_clFont, other.m_clFont)
        && m_dCenterX == other.m_dCenterX
        && m_dCenterY == other.m_dCenterY
        && m_bStaticBack == other.m_bStaticBack
        && hlIsEqual(m_clStaticBack, other.m_clStaticBack)
        && m_dStaticBackRadius == other.m_dStaticBackRadius
        && m_dStaticBackAlpha == other.m_dStaticBackAlpha
        && m_bStaticShadow == other.m_bStaticShadow
        && hlIsEqual(m_clStaticShadow, other.m_clStaticShadow)
        && m_dStaticShadowRadius == other.m_dStaticShadowRadius
        && m_dStaticShadowOffsetX == other.m_dStaticShadowOffsetX
        && m_dStaticShadowOffsetY == other.m_dStaticShadowOffsetY
        && m_dDynamicMoveIn == other.m_dDynamicMoveIn
        && m_dDynamicMoveOut == other.m_dDynamicMoveOut;
}

void HLTextEdit::setEnType(HLTextEditType type)
{
    if (isTitleType(type))
        m_enType = type;
}

void HLTextEdit::setDFontSize(float size)
{
    if (size > 0)
        m_dFontSize = std::min(size, kMaximumFontSize);
}

void HLTextEdit::setClFont(const QColor &color)
{
    if (color.isValid())
        m_clFont = color;
}

void HLTextEdit::setDCenterX(float x)
{
    if (std::isfinite(x))
        m_dCenterX = x;
}

void HLTextEdit::setDCenterY(float y)
{
    if (std::isfinite(y))
        m_dCenterY = y;
}

void HLTextEdit::setClStaticBack(const QColor &color)
{
    if (color.isValid())
        m_clStaticBack = color;
}

void HLTextEdit::setDStaticBackRadius(float radius)
{
    if (std::isfinite(radius))
        m_dStaticBackRadius = lengthOf(radius);
}

void HLTextEdit::setDStaticBackAlpha(float alpha)
{
    if (std::isfinite(alpha))
        m_dStaticBackAlpha = opacityOf(alpha);
}

void HLTextEdit::setClStaticShadow(const QColor &color)
{
    if (color.isValid())
        m_clStaticShadow = color;
}

void HLTextEdit::setDStaticShadowRadius(float radius)
{
    if (std::isfinite(radius))
        m_dStaticShadowRadius = lengthOf(radius);
}

void HLTextEdit::setDStaticShadowOffsetX(float offset)
{
    if (std::isfinite(offset))
        m_dStaticShadowOffsetX = offset;
}

void HLTextEdit::setDStaticShadowOffsetY(float offset)
{
    if (std::isfinite(offset))
        m_dStaticShadowOffsetY = offset;
}

void HLTextEdit::setDDynamicMoveIn(float seconds)
{
    if (std::isfinite(seconds))
        m_dDynamicMoveIn = lengthOf(seconds);
}

void HLTextEdit::setDDynamicMoveOut(float seconds)
{
    if (std::isfinite(seconds))
        m_dDynamicMoveOut = lengthOf(seconds);
}

void HLTextEdit::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeInt64(kNSCodingType, m_enType);
    coder.encodeString(kNSCodingText, m_strText);
    coder.encodeString(kNSCodingFont, m_strFont);
    coder.encodeFloat(kNSCodingFontSize, m_dFontSize);
    coder.encodeColor(kNSCodingFontColor, m_clFont);
    coder.encodeFloat(kNSCodingCenterX, m_dCenterX);
    coder.encodeFloat(kNSCodingCenterY, m_dCenterY);
    coder.encodeBool(kNSCodingStaticBack, m_bStaticBack);
    coder.encodeColor(kNSCodingStaticBackColor, m_clStaticBack);
    coder.encodeFloat(kNSCodingStaticBackRadius, m_dStaticBackRadius);
    coder.encodeFloat(kNSCodingStaticBackAlpha, m_dStaticBackAlpha);
    coder.encodeBool(kNSCodingStaticShadow, m_bStaticShadow);
    coder.encodeColor(kNSCodingStaticShadowColor, m_clStaticShadow);
    coder.encodeFloat(kNSCodingStaticShadowRadius, m_dStaticShadowRadius);
    coder.encodeFloat(kNSCodingStaticShadowOffsetX, m_dStaticShadowOffsetX);
    coder.encodeFloat(kNSCodingStaticShadowOffsetY, m_dStaticShadowOffsetY);
    coder.encodeFloat(kNSCodingDynamicMoveIn, m_dDynamicMoveIn);
    coder.encodeFloat(kNSCodingDynamicMoveOut, m_dDynamicMoveOut);
}

std::shared_ptr<HLTextEdit> HLTextEdit::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto edit = std::make_shared<HLTextEdit>();
    edit->m_enType = coder.decodeInt64(kNSCodingType);
    if (!isTitleType(edit->m_enType))
        throw HLArchiveError(QStringLiteral("HLTextEdit: %1 %2 is no title type").arg(kNSCodingType).arg(edit->m_enType));
    edit->m_strText = coder.decodeString(kNSCodingText);
    edit->m_strFont = coder.decodeString(kNSCodingFont);
    edit->m_dFontSize = coder.decodeFiniteFloat(kNSCodingFontSize);
    // A font of no size, or one far beyond the canvas, would ask for an empty or a huge picture.
    if (!isFontSize(edit->m_dFontSize))
        throw HLArchiveError(QStringLiteral("HLTextEdit: %1 %2 is no usable font size")
                                 .arg(kNSCodingFontSize)
                                 .arg(edit->m_dFontSize));
    edit->m_clFont = coder.decodeColor(kNSCodingFontColor);
    edit->m_dCenterX = coder.decodeFiniteFloat(kNSCodingCenterX);
    edit->m_dCenterY = coder.decodeFiniteFloat(kNSCodingCenterY);
    edit->m_bStaticBack = coder.decodeBool(kNSCodingStaticBack);
    edit->m_clStaticBack = coder.decodeColor(kNSCodingStaticBackColor);
    edit->m_dStaticBackRadius = lengthOf(coder.decodeFiniteFloat(kNSCodingStaticBackRadius));
    edit->m_dStaticBackAlpha = opacityOf(coder.decodeFiniteFloat(kNSCodingStaticBackAlpha));
    edit->m_bStaticShadow = coder.decodeBool(kNSCodingStaticShadow);
    edit->m_clStaticShadow = coder.decodeColor(kNSCodingStaticShadowColor);
    edit->m_dStaticShadowRadius = lengthOf(coder.decodeFiniteFloat(kNSCodingStaticShadowRadius));
    edit->m_dStaticShadowOffsetX = coder.decodeFiniteFloat(kNSCodingStaticShadowOffsetX);
    edit->m_dStaticShadowOffsetY = coder.decodeFiniteFloat(kNSCodingStaticShadowOffsetY);
    edit->m_dDynamicMoveIn = lengthOf(coder.decodeFiniteFloat(kNSCodingDynamicMoveIn));
    edit->m_dDynamicMoveOut = lengthOf(coder.decodeFiniteFloat(kNSCodingDynamicMoveOut));
    return edit;
}
