#include "SourceHL/Model/Render/HLSlideshowRender.h"

#include "Platform/Imaging/Picture.h"

#include <QVariantMap>

#include <utility>

namespace {
const QString kRenderKeyImages = QStringLiteral("Images");
const QString kRenderKeyBackgroundImage = QStringLiteral("BackgroundImage");

// Pixels of a picture entry, by identity: the key of the shared pixel data and where they lie.
std::pair<qint64, QRectF> identityOf(const QVariant &picture)
{
    if (picture.metaType() == QMetaType::fromType<Picture>()) {
        const Picture p = picture.value<Picture>();
        return {p.isInfinite() || p.isNull() ? -1 : p.image().cacheKey(), p.extent()};
    }
    if (picture.metaType() == QMetaType::fromType<QImage>()) {
        const QImage image = picture.value<QImage>();
        return {image.isNull() ? -1 : image.cacheKey(), QRectF(QPointF(), QSizeF(image.size()))};
    }
    return {picture.isValid() ? -1 : 0, QRectF()};
}

// Whether two image lists hold the very same pixels in the same slots.
bool sameImages(const QVariantList &a, const QVariantList &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const QVariantMap left = a[i].toMap();
        const QVariantMap right = b[i].toMap();
        if (left.keys() != right.keys())
            return false;
        for (auto it = left.cbegin(); it != left.cend(); ++it) {
            const auto identity = identityOf(it.value());
            if (identity.first < 0 || identity != identityOf(right.value(it.key())))
                return false;
        }
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
    // The same pictures again leave the composition as it is, so a still moment of the template
    // reuses its last drawing (and its sharpening) instead of drawing it anew.
    if (!images.isEmpty() && sameImages(images, value(kRenderKeyImages).toList()))
        return;
    setValue(kRenderKeyImages, images.isEmpty() ? QVariant() : QVariant(images));
}
