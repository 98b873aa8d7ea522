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
    if (!m_bSharpen)
        return p_render(time);
    return p_sharpenedSnapshot(time);
}

QImage HLRender::p_sharpenedSnapshot(float time)
{
    const QImage drawing = p_render(time);
    // The composition hands back its kept image when nothing it draws has changed; any redraw
    // writes the pixels and so changes the key. Only the key is kept, so the composition may
    // still draw its next frame into the same buffer.
    const qint64 key = drawing.isNull() ? 0 : drawing.cacheKey();
    if (!m_imgLastSharpened.isNull() && key != 0 && key == m_iLastDrawing && m_dLastSharpeness == m_dSharpeness)
        return m_imgLastSharpened;
    const QImage sharpened = ImageFilters::sharpenLuminance(Picture::fromImage(drawing), m_dSharpeness).image();
    m_iLastDrawing = key;
    m_dLastSharpeness = m_dSharpeness;
    m_imgLastSharpened = sharpened;
    return sharpened;
}
