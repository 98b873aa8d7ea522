#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"

#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "Platform/Imaging/Picture.h"
#include "SourceHL/Common/HLColorHelper.h"
#include "SourceHL/Common/HLImageHelper.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

std::shared_ptr<HLRenderEditSlideshow> HLRenderEditSlideshow::renderEdit()
{
    auto edit = std::make_shared<HLRenderEditSlideshow>();
    edit->reset();
    return edit;
}

bool HLRenderEditSlideshow::isEqual(const HLRenderEditSlideshow &other) const
{
    if (this == &other)
        return true;
    return m_bImageBorder == other.m_bImageBorder && m_bImageBackground == other.m_bImageBackground
           && hlIsEqual(other.m_clBorderColor, m_clBorderColor) && m_dBorderRatio == other.m_dBorderRatio
           && hlIsEqual(other.m_clBackgroundColor, m_clBackgroundColor)
           && m_dBackgroundRatio == other.m_dBackgroundRatio;
}

std::shared_ptr<HLRenderEditSlideshow> HLRenderEditSlideshow::copy() const
{
    auto edit = std::make_shared<HLRenderEditSlideshow>();
    edit->keepTheSame(this);
    return edit;
}

void HLRenderEditSlideshow::keepTheSame(const HLRenderEditSlideshow *other)
{
    if (other) {
        m_bImageBorder = other->m_bImageBorder;
        m_clBorderColor = other->m_clBorderColor;
        m_dBorderRatio = other->m_dBorderRatio;
        m_bImageBackground = other->m_bImageBackground;
        m_clBackgroundColor = other->m_clBackgroundColor;
        m_dBackgroundRatio = other->m_dBackgroundRatio;
    } else {
        m_bImageBorder = false;
        m_clBorderColor = Qt::white;
        m_dBorderRatio = 0.7f;
        m_bImageBackground = true;
        m_clBackgroundColor = Qt::black;
        m_dBackgroundRatio = 1.0f;
    }
}

void HLRenderEditSlideshow::reset()
{
    keepTheSame(nullptr);
}

bool HLRenderEditSlideshow::isEdited() const
{
    return m_bImageBorder || m_bImageBackground;
}

Picture HLRenderEditSlideshow::render(const Picture &picture) const
{
    const QRectF extent = picture.extent();
    const float w = std::round(float(extent.width()));
    const float h = std::round(float(extent.height()));
    const float q = 4.0f / 3.0f;
    const QSizeF canvas = w / h <= q ? QSizeF(std::floor(h * q), h) : QSizeF(w, std::floor(w / q));
    // Centred; the offsets are the same measured from the top or from the bottom.
    const QRectF place((canvas.width() - w) * 0.5, (canvas.height() - h) * 0.5, w, h);
    const float border = float(canvas.width()) / 400.0f * 10.0f * m_dBorderRatio;
    const QColor background = hlAlphaColor(m_clBackgroundColor, m_dBackgroundRatio);
    const QImage pixels = picture.image();

    const QImage framed = HLImageHelper::hlImageOf(canvas, [&](QPainter &painter, const QRectF &rect) {
        if (m_bImageBackground)
            painter.fillRect(rect, background);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawImage(place, pixels);
        if (m_bImageBorder) {
            QPainterPath ring;
            ring.setFillRule(Qt::OddEvenFill);
            ring.addRect(place);
            ring.addRect(place.adjusted(border, border, -border, -border));
            painter.fillPath(ring, m_clBorderColor);
        }
    });
    return Picture::fromImage(framed);
}

void HLRenderEditSlideshow::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeBool(QStringLiteral("kNSCodingImageBorder"), m_bImageBorder);
    coder.encodeColor(QStringLiteral("kNSCodingBorderColor"), m_clBorderColor);
    coder.encodeFloat(QStringLiteral("kNSCodingBorderRatio"), m_dBorderRatio);
    coder.encodeBool(QStringLiteral("kNSCodingImageBackground"), m_bImageBackground);
    coder.encodeColor(QStringLiteral("kNSCodingBackgroundColor"), m_clBackgroundColor);
    coder.encodeFloat(QStringLiteral("kNSCodingBackgroundRatio"), m_dBackgroundRatio);
}

void HLRenderEditSlideshow::setClBorderColor(const QColor &color)
{
    if (color.isValid())
        m_clBorderColor = color;
}

void HLRenderEditSlideshow::setDBorderRatio(float ratio)
{
    if (std::isfinite(ratio))
        m_dBorderRatio = p_borderRatioOf(ratio);
}

void HLRenderEditSlideshow::setClBackgroundColor(const QColor &color)
{
    if (color.isValid())
        m_clBackgroundColor = color;
}

void HLRenderEditSlideshow::setDBackgroundRatio(float ratio)
{
    if (std::isfinite(ratio))
        m_dBackgroundRatio = p_backgroundRatioOf(ratio);
}

float HLRenderEditSlideshow::p_borderRatioOf(float ratio)
{
    return std::max(ratio, 0.0f);
}

float HLRenderEditSlideshow::p_backgroundRatioOf(float ratio)
{
    return std::clamp(ratio, 0.0f, 1.0f);
}

std::shared_ptr<HLRenderEditSlideshow> HLRenderEditSlideshow::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto edit = std::make_shared<HLRenderEditSlideshow>();
    edit->m_bImageBorder = coder.decodeBool(QStringLiteral("kNSCodingImageBorder"));
    edit->m_clBorderColor = coder.decodeColor(QStringLiteral("kNSCodingBorderColor"));
    edit->m_dBorderRatio = coder.decodeFiniteFloat(QStringLiteral("kNSCodingBorderRatio"));
    edit->m_bImageBackground = coder.decodeBool(QStringLiteral("kNSCodingImageBackground"));
    edit->m_clBackgroundColor = coder.decodeColor(QStringLiteral("kNSCodingBackgroundColor"));
    edit->m_dBackgroundRatio = coder.decodeFiniteFloat(QStringLiteral("kNSCodingBackgroundRatio"));
    edit->m_dBorderRatio = p_borderRatioOf(edit->m_dBorderRatio);
    edit->m_dBackgroundRatio = p_backgroundRatioOf(edit->m_dBackgroundRatio);
    return edit;
}
