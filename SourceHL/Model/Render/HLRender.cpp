#include "SourceHL/Model/Render/HLRender.h"

#include "Platform/Composer/Composition.h"
#include "Platform/Imaging/ImageFilters.h"
#include "Platform/Imaging/Picture.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"

#include <algorithm>
#include <cmath>

HLRender::HLRender(HLRenderType type, const QString &name, std::shared_ptr<const Composition> composition,
                   QSize size)
    : m_renderer(std::move(composition), size),
      // Transitions blend slideshow snapshots that are sharpened already; sharpening them again
      // would make the picture jump in sharpness at every transition. Titles stay crisp as drawn.
      m_bSharpen(type != HLRenderTypeText && type != HLRenderTypeTransition), m_strName(name), m_enType(type),
      m_szSize(size)
{
}

HLRender::~HLRender() = default;

std::unique_ptr<HLRender> HLRender::initFreely(bool freely, const QString &name,
                                               std::shared_ptr<const Composition> composition)
{
    return make<HLRender>(freely, HLRenderTypeGeneral, name, std::move(composition));
}

QSize HLRender::contextSizeOf(bool freely, HLRenderType type)
{
    const HLRenderContextPool &pool = HLRenderContextPool::sharedRenderContextPool();
    const QSizeF size = freely ? pool.freeContextSize() : pool.limitContextSizeOf(type);
    const QSize pixels(int(std::lround(size.width())), int(std::lround(size.height())));
    return pixels.width() >= 1 && pixels.height() >= 1 ? pixels : QSize();
}

double HLRender::p_solidTime(float time, std::size_t count) const
{
    const double total = m_renderer.composition()->timing().total(int(std::min<std::size_t>(count, 10000)));
    return std::min(double(time), total);
}

QImage HLRender::p_render(float time)
{
    m_renderer.setValue(kRenderKeyTime, p_compositionTime(time));
    return m_renderer.render();
}

QImage HLRender::snapshotNSImageAt(float time)
{
    return p_NSSharpenImage(p_render(time));
}

Picture HLRender::snapshotCIImageAt(float time)
{
    return p_CISharpenImage(Picture::fromImage(p_render(time)));
}

QImage HLRender::p_NSSharpenImage(const QImage &image) const
{
    if (!m_bSharpen)
        return image;
    return p_CISharpenImage(Picture::fromImage(image)).image();
}

Picture HLRender::p_CISharpenImage(const Picture &picture) const
{
    if (!m_bSharpen)
        return picture;
    return ImageFilters::sharpenLuminance(picture, m_dSharpeness);
}
