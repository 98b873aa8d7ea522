#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"

#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "Platform/Imaging/PhotoCache.h"
#include "SourceHL/Common/HLColorHelper.h"
#include "SourceHL/Common/HLImageHelper.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"

std::shared_ptr<HLBackEditSlideshow> HLBackEditSlideshow::backEdit()
{
    auto edit = std::make_shared<HLBackEditSlideshow>();
    edit->reset();
    return edit;
}

void HLBackEditSlideshow::reset()
{
    keepTheSame(nullptr);
}

void HLBackEditSlideshow::keepTheSame(const HLBackEditSlideshow *other)
{
    if (other) {
        m_bBackground = other->m_bBackground;
        m_enBackType = other->m_enBackType;
        m_enColorType = other->m_enColorType;
        m_enGradientType = other->m_enGradientType;
        m_clBackSingle = other->m_clBackSingle;
        m_clBackGradientStart = other->m_clBackGradientStart;
        m_clBackGradientEnd = other->m_clBackGradientEnd;
        m_oBack = other->m_oBack;
    } else {
        m_bBackground = false;
        m_enBackType = 0;
        m_enColorType = 0;
        m_enGradientType = 0;
        m_clBackSingle = Qt::black;
        m_clBackGradientStart = Qt::green;
        m_clBackGradientEnd = Qt::blue;
        m_oBack = nullptr;
    }
}

std::shared_ptr<HLBackEditSlideshow> HLBackEditSlideshow::copy() const
{
    auto edit = std::make_shared<HLBackEditSlideshow>();
    edit->keepTheSame(this);
    return edit;
}

bool HLBackEditSlideshow::isEqual(const HLBackEditSlideshow &other) const
{
    if (this == &other)
        return true;
    if (m_bBackground != other.m_bBackground || m_enBackType != other.m_enBackType
        || m_enColorType != other.m_enColorType || m_enGradientType != other.m_enGradientType
        || !hlIsEqual(other.m_clBackSingle, m_clBackSingle)
        || !hlIsEqual(other.m_clBackGradientStart, m_clBackGradientStart)
        || !hlIsEqual(other.m_clBackGradientEnd, m_clBackGradientEnd))
        return false;
    // Two edits without a picture are equal.
    if (!m_oBack || !other.m_oBack)
        return !m_oBack && !other.m_oBack;
    return other.m_oBack->isEqual(*m_oBack);
}

QImage HLBackEditSlideshow::backgroundOf(QSizeF size) const
{
    if (!m_bBackground)
        return {};
    if (m_enBackType != 0)
        return p_safedImageOf(size);
    return p_colorImageOf(size);
}

QImage HLBackEditSlideshow::p_colorImageOf(QSizeF size) const
{
    const QColor start = m_enColorType == 0 ? m_clBackSingle : m_clBackGradientStart;
    const QColor end = m_enColorType != 0 ? m_clBackGradientEnd : m_clBackSingle;
    const float angle = m_enGradientType != 0 ? 90.0f : 0.0f;
    return HLImageHelper::hlGradientImageOf(size, start, end, angle);
}

QImage HLBackEditSlideshow::p_safedImageOf(QSizeF size) const
{
    if (!m_oBack)
        return {};
    // The centre cut to the size's shape, decoded straight at that size (the photo may be far
    // larger) and shared with the other renderers drawing it.
    const QSizeF whole = m_oBack->imageResolution();
    if (whole.isEmpty())
        return {};
    const QRect region = HLImageHelper::pixelRectOf(whole, HLImageHelper::limitCroppedRatioRect(whole, size));
    return PhotoCache::shared().photo(m_oBack->sourcePath(), region, size.toSize().expandedTo(QSize(1, 1)));
}

QImage HLBackEditSlideshow::previewImage() const
{
    if (!m_oBack)
        return {};
    m_oBack->setBLoadPreview(true);
    const QImage preview = m_oBack->imagePreview();
    m_oBack->setBLoadPreview(false);
    return preview;
}

void HLBackEditSlideshow::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeBool(QStringLiteral("kNSCodingBackground"), m_bBackground);
    coder.encodeInt64(QStringLiteral("kNSCodingBackType"), m_enBackType);
    coder.encodeInt64(QStringLiteral("kNSCodingColorType"), m_enColorType);
    coder.encodeInt64(QStringLiteral("kNSCodingGradientType"), m_enGradientType);
    coder.encodeColor(QStringLiteral("kNSCodingBackSingle"), m_clBackSingle);
    coder.encodeColor(QStringLiteral("kNSCodingBackGradientStart"), m_clBackGradientStart);
    coder.encodeColor(QStringLiteral("kNSCodingBackGradientEnd"), m_clBackGradientEnd);
    coder.encodeObject(QStringLiteral("kNSCodingBack"), m_oBack);
}

void HLBackEditSlideshow::setClBackSingle(const QColor &color)
{
    if (color.isValid())
        m_clBackSingle = color;
}

void HLBackEditSlideshow::setClBackGradientStart(const QColor &color)
{
    if (color.isValid())
        m_clBackGradientStart = color;
}

void HLBackEditSlideshow::setClBackGradientEnd(const QColor &color)
{
    if (color.isValid())
        m_clBackGradientEnd = color;
}

void HLBackEditSlideshow::setOBack(const std::shared_ptr<HLResourceItem> &back)
{
    if (!back || back->isImage())
        m_oBack = back;
}

std::shared_ptr<HLBackEditSlideshow> HLBackEditSlideshow::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto edit = std::make_shared<HLBackEditSlideshow>();
    edit->m_bBackground = coder.decodeBool(QStringLiteral("kNSCodingBackground"));
    edit->m_enBackType = coder.decodeInt64(QStringLiteral("kNSCodingBackType"));
    edit->m_enColorType = coder.decodeInt64(QStringLiteral("kNSCodingColorType"));
    edit->m_enGradientType = coder.decodeInt64(QStringLiteral("kNSCodingGradientType"));
    edit->m_clBackSingle = coder.decodeColor(QStringLiteral("kNSCodingBackSingle"));
    edit->m_clBackGradientStart = coder.decodeColor(QStringLiteral("kNSCodingBackGradientStart"));
    edit->m_clBackGradientEnd = coder.decodeColor(QStringLiteral("kNSCodingBackGradientEnd"));
    edit->m_oBack = coder.decodeOptionalObject<HLResourceItem>(QStringLiteral("kNSCodingBack"));
    if (edit->m_oBack && !edit->m_oBack->isImage())
        throw HLArchiveError(QStringLiteral("HLBackEditSlideshow: kNSCodingBack is no picture"));
    return edit;
}
