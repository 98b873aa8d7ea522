#include "SourceHL/Common/HLRenderSizer.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLCodingRegistry.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"

#include <algorithm>
#include <cmath>

namespace {

const QString kNSCodingRenderSize = QStringLiteral("kNSCodingRenderSize");
const QString kNSCodingPreviewLimit = QStringLiteral("kNSCodingPreviewLimit");
// Beyond this a frame no longer fits a picture in memory.
constexpr double kMaximumSide = 16384;

bool isSide(double value)
{
    return value > 0 && value <= kMaximumSide;
}

} // namespace

HLRenderSizer::HLRenderSizer(QSizeF size, float limit)
    : m_szRender(size)
    , m_dPreviewLimit(limit)
{
}

std::shared_ptr<HLRenderSizer> HLRenderSizer::renderSizerOf(QSizeF size, float with)
{
    if (!isSide(size.width()) || !isSide(size.height()) || !isSide(with))
        return nullptr;
    return std::shared_ptr<HLRenderSizer>(new HLRenderSizer(size, with));
}

void HLRenderSizer::setSzRender(QSizeF size)
{
    if (isSide(size.width()) && isSide(size.height()) && size != m_szRender)
        m_szRender = size;
}

void HLRenderSizer::setDPreviewLimit(float limit)
{
    if (isSide(limit) && limit != m_dPreviewLimit)
        m_dPreviewLimit = limit;
}

QSizeF HLRenderSizer::typedRenderSize() const
{
    if (m_enType != 0)
        return m_szRender;
    const float w = float(m_szRender.width());
    const float h = float(m_szRender.height());
    const float limit = m_dPreviewLimit;
    if (!(std::max(w, h) > limit))
        return m_szRender;
    const float ratio = float(m_szRender.width() / m_szRender.height());
    if (ratio > 1.0f)
        return QSizeF(limit, limit / ratio);
    return QSizeF(limit * ratio, limit);
}

QSize HLRenderSizer::evenRenderSize() const
{
    const QSizeF size = typedRenderSize();
    // Nearest whole pixel, then down to even, so the limited side never grows past the limit.
    const auto even = [](double side) {
        const int whole = int(std::lround(side));
        return std::max(2, whole - whole % 2);
    };
    return QSize(even(size.width()), even(size.height()));
}

float HLRenderSizer::renderRatio() const
{
    if (m_szRender.width() <= 0 || m_szRender.height() <= 0)
        return 1.0f;
    return float(m_szRender.width() / m_szRender.height());
}

QString HLRenderSizer::className() const
{
    return QStringLiteral("HLRenderSizer");
}

void HLRenderSizer::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeSize(kNSCodingRenderSize, m_szRender);
    coder.encodeFloat(kNSCodingPreviewLimit, m_dPreviewLimit);
}

std::shared_ptr<HLRenderSizer> HLRenderSizer::initWithCoder(HLKeyedUnarchiver &coder)
{
    const QSizeF size = coder.decodeSize(kNSCodingRenderSize);
    const float limit = coder.decodeFloat(kNSCodingPreviewLimit);
    if (!isSide(size.width()) || !isSide(size.height()))
        throw HLArchiveError(QStringLiteral("%1: bad size %2 x %3")
                                 .arg(kNSCodingRenderSize)
                                 .arg(size.width())
                                 .arg(size.height()));
    if (!isSide(limit))
        throw HLArchiveError(QStringLiteral("%1: bad limit %2").arg(kNSCodingPreviewLimit).arg(limit));
    return std::shared_ptr<HLRenderSizer>(new HLRenderSizer(size, limit));
}

void HLRenderSizer::registerCoding()
{
    HLCodingRegistry::registerClass<HLRenderSizer>(QStringLiteral("HLRenderSizer"));
}
