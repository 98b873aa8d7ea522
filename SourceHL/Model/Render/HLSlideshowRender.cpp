#include "SourceHL/Model/Render/HLSlideshowRender.h"

#include <QVariantList>
#include <QVariantMap>

#include <utility>

namespace {
const QString kRenderKeyImages = QStringLiteral("Images");
const QString kRenderKeyBackgroundImage = QStringLiteral("BackgroundImage");

// Whether two pictures hold the very same pixels in the same place (null ones never count).
bool samePixels(const Picture &a, const Picture &b)
{
    if (a.isNull() || b.isNull() || a.isInfinite() || b.isInfinite())
        return false;
    return a.image().cacheKey() == b.image().cacheKey() && a.extent() == b.extent();
}

bool sameImages(const QList<Picture> &a, const QList<Picture> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].isNull() != b[i].isNull() || (!a[i].isNull() && !samePixels(a[i], b[i])))
            return false;
    }
    return true;
}
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

double HLSlideshowRender::p_compositionTime(float time) const
{
    return p_solidTime(time, std::size_t(m_aryImages.size()));
}

void HLSlideshowRender::clear()
{
    updateBackground(Picture());
    updateImages({});
}

bool HLSlideshowRender::hasBackground() const
{
    return value(kRenderKeyBackgroundImage).isValid();
}

void HLSlideshowRender::updateBackground(const Picture &picture, const HLDrawnFrom &from)
{
    m_renderer.setPicture(kRenderKeyBackgroundImage, picture);
    m_oBackgroundFrom = from;
}

void HLSlideshowRender::updateImages(const QList<Picture> &images)
{
    // The same pictures again leave the composition as it is, so a still moment of the template
    // reuses its last drawing (and its sharpening) instead of drawing it anew.
    if (!images.isEmpty() && sameImages(images, m_aryImages))
        return;
    m_aryImages = images;
    QVariantList entries;
    entries.reserve(images.size());
    for (const Picture &picture : images)
        entries.append(QVariantMap{{kRenderKeyInputImage, picture.isNull() ? QVariant() : QVariant::fromValue(picture)}});
    setValue(kRenderKeyImages, entries.isEmpty() ? QVariant() : QVariant(entries));
}
