#include "SourceHL/Model/Render/HLSlideshowRender.h"

#include "Platform/Imaging/Picture.h"

namespace {
const QString kRenderKeyImages = QStringLiteral("Images");
const QString kRenderKeyBackgroundImage = QStringLiteral("BackgroundImage");
} // namespace

std::unique_ptr<HLSlideshowRender> HLSlideshowRender::initFreely(bool freely, const QString &name,
                                                                 std::shared_ptr<const Composition> composition)
{
    return make<HLSlideshowRender>(freely, HLRenderTypeSlideshow, name, std::move(composition));
}

std::unique_ptr<HLSlideshowRender> HLSlideshowRender::initSized(QSize size, const QString &name,
                                                                    std::shared_ptr<const Composition> composition)
{
    return makeSized<HLSlideshowRender>(size, HLRenderTypeSlideshow, name, std::move(composition));
}

QImage HLSlideshowRender::snapshotNSImageAt(float time)
{
    ++m_iRepeat;
    return HLRender::snapshotNSImageAt(time);
}

Picture HLSlideshowRender::snapshotCIImageAt(float time)
{
    ++m_iRepeat;
    return HLRender::snapshotCIImageAt(time);
}

double HLSlideshowRender::p_compositionTime(float time) const
{
    return p_solidTime(time, std::size_t(value(kRenderKeyImages).toList().size()));
}

void HLSlideshowRender::clear()
{
    updateBackground(QVariant());
    updateImages(QVariantList());
}

bool HLSlideshowRender::hasBackground() const
{
    return value(kRenderKeyBackgroundImage).isValid();
}

void HLSlideshowRender::updateBackground(const QVariant &picture)
{
    setValue(kRenderKeyBackgroundImage, picture);
}

void HLSlideshowRender::updateImages(const QVariantList &images)
{
    setValue(kRenderKeyImages, images.isEmpty() ? QVariant() : QVariant(images));
}
