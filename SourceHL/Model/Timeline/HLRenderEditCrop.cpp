#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"

#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "Platform/Imaging/Picture.h"

#include <algorithm>
#include <cmath>

std::shared_ptr<HLRenderEditCrop> HLRenderEditCrop::editCrop()
{
    auto crop = std::make_shared<HLRenderEditCrop>();
    crop->reset();
    return crop;
}

bool HLRenderEditCrop::isEqual(const HLRenderEditCrop &other) const
{
    if (this == &other)
        return true;
    return m_dRatioX == other.m_dRatioX && m_dRatioY == other.m_dRatioY
           && m_dRatioW == other.m_dRatioW && m_dRatioH == other.m_dRatioH;
}

std::shared_ptr<HLRenderEditCrop> HLRenderEditCrop::copy() const
{
    auto crop = std::make_shared<HLRenderEditCrop>();
    crop->keepTheSame(this);
    return crop;
}

void HLRenderEditCrop::keepTheSame(const HLRenderEditCrop *other)
{
    if (other) {
        m_dRatioX = other->m_dRatioX;
        m_dRatioY = other->m_dRatioY;
        m_dRatioW = other->m_dRatioW;
        m_dRatioH = other->m_dRatioH;
    } else {
        m_dRatioX = 0;
        m_dRatioY = 0;
        m_dRatioW = 1;
        m_dRatioH = 1;
    }
}

void HLRenderEditCrop::reset()
{
    keepTheSame(nullptr);
}

float HLRenderEditCrop::p_safe(float value, float min, float max)
{
    return std::min(max, std::max(value, min));
}

bool HLRenderEditCrop::p_isOriginal(float value, float target)
{
    const float difference = value - target;
    return std::fabs(double(difference)) <= 0.01;
}

void HLRenderEditCrop::setDRatioX(float value)
{
    m_dRatioX = p_safe(value, 0, 1 - m_dRatioW);
}

void HLRenderEditCrop::setDRatioY(float value)
{
    m_dRatioY = p_safe(value, 0, 1 - m_dRatioH);
}

void HLRenderEditCrop::setDRatioW(float value)
{
    const float width = p_safe(value, 0, 1);
    if (width == m_dRatioW)
        return;
    m_dRatioW = width;
    setDRatioX(m_dRatioX);
}

void HLRenderEditCrop::setDRatioH(float value)
{
    const float height = p_safe(value, 0, 1);
    if (height == m_dRatioH)
        return;
    m_dRatioH = height;
    setDRatioY(m_dRatioY);
}

bool HLRenderEditCrop::isEdited() const
{
    return !p_isOriginal(m_dRatioX, 0) || !p_isOriginal(m_dRatioY, 0) || !p_isOriginal(m_dRatioW, 1)
           || !p_isOriginal(m_dRatioH, 1);
}

Picture HLRenderEditCrop::render(const Picture &picture) const
{
    if (!isEdited())
        return picture;
    const QRectF extent = picture.extent();
    const double w = extent.width();
    const double h = extent.height();
    return picture.cropped(QRectF(w * double(m_dRatioX), h * double(m_dRatioY), w * double(m_dRatioW),
                                  h * double(m_dRatioH)));
}

QRectF HLRenderEditCrop::ratioRect() const
{
    if (!isEdited())
        return QRectF(0, 0, 1, 1);
    return QRectF(m_dRatioX, m_dRatioY, m_dRatioW, m_dRatioH);
}

bool HLRenderEditCrop::mendDecoded()
{
    if (!std::isfinite(m_dRatioX) || !std::isfinite(m_dRatioY) || !std::isfinite(m_dRatioW)
        || !std::isfinite(m_dRatioH))
        return false;
    m_dRatioW = p_safe(m_dRatioW, 0, 1);
    m_dRatioH = p_safe(m_dRatioH, 0, 1);
    setDRatioX(m_dRatioX);
    setDRatioY(m_dRatioY);
    return true;
}

void HLRenderEditCrop::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeFloat(QStringLiteral("kNSCodingRatioX"), m_dRatioX);
    coder.encodeFloat(QStringLiteral("kNSCodingRatioY"), m_dRatioY);
    coder.encodeFloat(QStringLiteral("kNSCodingRatioW"), m_dRatioW);
    coder.encodeFloat(QStringLiteral("kNSCodingRatioH"), m_dRatioH);
}

std::shared_ptr<HLRenderEditCrop> HLRenderEditCrop::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto crop = std::make_shared<HLRenderEditCrop>();
    crop->m_dRatioX = coder.decodeFloat(QStringLiteral("kNSCodingRatioX"));
    crop->m_dRatioY = coder.decodeFloat(QStringLiteral("kNSCodingRatioY"));
    crop->m_dRatioW = coder.decodeFloat(QStringLiteral("kNSCodingRatioW"));
    crop->m_dRatioH = coder.decodeFloat(QStringLiteral("kNSCodingRatioH"));
    if (!crop->mendDecoded())
        throw HLArchiveError(QStringLiteral("HLRenderEditCrop: crop ratio is no number"));
    return crop;
}
