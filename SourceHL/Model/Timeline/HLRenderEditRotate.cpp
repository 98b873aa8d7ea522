#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"

#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "Platform/Imaging/Picture.h"

#include <QTransform>

#include <cmath>
#include <numbers>

std::shared_ptr<HLRenderEditRotate> HLRenderEditRotate::editRotate()
{
    auto rotate = std::make_shared<HLRenderEditRotate>();
    rotate->reset();
    return rotate;
}

bool HLRenderEditRotate::isEqual(const HLRenderEditRotate &other) const
{
    if (this == &other)
        return true;
    return m_iRotation == other.m_iRotation && m_bFlipH == other.m_bFlipH
           && m_bFlipV == other.m_bFlipV;
}

std::shared_ptr<HLRenderEditRotate> HLRenderEditRotate::copy() const
{
    auto rotate = std::make_shared<HLRenderEditRotate>();
    rotate->keepTheSame(this);
    return rotate;
}

void HLRenderEditRotate::keepTheSame(const HLRenderEditRotate *other)
{
    if (other) {
        m_iRotation = other->m_iRotation;
        m_bFlipH = other->m_bFlipH;
        m_bFlipV = other->m_bFlipV;
    } else {
        m_iRotation = 0;
        m_bFlipH = false;
        m_bFlipV = false;
    }
}

void HLRenderEditRotate::reset()
{
    keepTheSame(nullptr);
}

void HLRenderEditRotate::rotateL()
{
    m_iRotation = (m_iRotation + 90) % 360;
}

void HLRenderEditRotate::rotateR()
{
    m_iRotation = (m_iRotation + 270) % 360;
}

void HLRenderEditRotate::flipH()
{
    m_bFlipH = !m_bFlipH;
}

void HLRenderEditRotate::flipV()
{
    m_bFlipV = !m_bFlipV;
}

bool HLRenderEditRotate::isNormal() const
{
    return m_iRotation % 180 == 0;
}

bool HLRenderEditRotate::isEdited() const
{
    return m_iRotation != 0 || m_bFlipH || m_bFlipV;
}

Picture HLRenderEditRotate::render(const Picture &picture) const
{
    if (!isEdited())
        return picture;
    Picture result = picture;
    if (m_bFlipH || m_bFlipV)
        result = result.scaled(m_bFlipH ? -1.0 : 1.0, m_bFlipV ? -1.0 : 1.0);
    const QRectF extent = result.extent();
    result = result.translated(-extent.width() * 0.5, -extent.height() * 0.5);
    result = result.rotated(std::numbers::pi * (m_iRotation / 180.0));
    const QRectF turned = result.extent();
    return result.translated(-turned.x(), -turned.y());
}

QRectF HLRenderEditRotate::unturnedRect(const QRectF &turned) const
{
    if (!isEdited())
        return turned;
    // The turn of render() on the unit square, its result moved back onto the square.
    QTransform turn = QTransform::fromScale(m_bFlipH ? -1.0 : 1.0, m_bFlipV ? -1.0 : 1.0) * QTransform().rotate(m_iRotation);
    const QRectF square = turn.mapRect(QRectF(0, 0, 1, 1));
    turn *= QTransform::fromTranslate(-square.x(), -square.y());
    return turn.inverted().mapRect(turned);
}

std::optional<int32_t> HLRenderEditRotate::p_quarterTurnOf(int32_t rotation)
{
    if (rotation % 90 != 0)
        return std::nullopt;
    return ((rotation % 360) + 360) % 360;
}

void HLRenderEditRotate::setIRotation(int32_t rotation)
{
    if (const auto turn = p_quarterTurnOf(rotation))
        m_iRotation = *turn;
}

void HLRenderEditRotate::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeInt64(QStringLiteral("kNSCodingRotation"), m_iRotation);
    coder.encodeBool(QStringLiteral("kNSCodingFlipH"), m_bFlipH);
    coder.encodeBool(QStringLiteral("kNSCodingFlipV"), m_bFlipV);
}

std::shared_ptr<HLRenderEditRotate> HLRenderEditRotate::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto rotate = std::make_shared<HLRenderEditRotate>();
    const int32_t rotation = coder.decodeInt32(QStringLiteral("kNSCodingRotation"));
    rotate->m_bFlipH = coder.decodeBool(QStringLiteral("kNSCodingFlipH"));
    rotate->m_bFlipV = coder.decodeBool(QStringLiteral("kNSCodingFlipV"));
    const auto turn = p_quarterTurnOf(rotation);
    if (!turn)
        throw HLArchiveError(QStringLiteral("HLRenderEditRotate: rotation %1 is no quarter turn").arg(rotation));
    rotate->m_iRotation = *turn;
    return rotate;
}
