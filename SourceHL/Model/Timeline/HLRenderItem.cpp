#include "SourceHL/Model/Timeline/HLRenderItem.h"

#include "Frameworks/Korvane/ZKTime.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "Platform/Imaging/Picture.h"
#include "Platform/Imaging/PhotoCache.h"
#include "SourceHL/Common/HLImageHelper.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"

#include <utility>

std::shared_ptr<HLRenderItem> HLRenderItem::renderItemOf(const std::shared_ptr<HLResourceItem> &resource)
{
    if (!resource)
        return nullptr;
    auto item = std::make_shared<HLRenderItem>();
    item->m_oResource = resource;
    item->m_oCrop = HLRenderEditCrop::editCrop();
    item->m_oRotate = HLRenderEditRotate::editRotate();
    item->m_oEffect = HLRenderEditEffect::editEffect();
    if (resource->enType() == HLResourceTypeVideo)
        item->m_oTrim = HLRenderEditTrim::editTrimOf(resource->videoDuration());
    return item;
}

HLRenderItem::~HLRenderItem()
{
    releaseLoaded();
}

bool HLRenderItem::isEqual(const HLRenderItem &other) const
{
    if (this == &other)
        return true;
    if (!m_oResource->isEqual(*other.m_oResource) || !m_oCrop->isEqual(*other.m_oCrop)
        || !m_oRotate->isEqual(*other.m_oRotate) || !m_oEffect->isEqual(*other.m_oEffect))
        return false;
    if (!m_oTrim || !other.m_oTrim)
        return !m_oTrim && !other.m_oTrim;
    return m_oTrim->isEqual(*other.m_oTrim);
}

std::shared_ptr<HLRenderItem> HLRenderItem::copy() const
{
    auto item = std::make_shared<HLRenderItem>();
    item->m_oResource = m_oResource;
    item->m_oCrop = m_oCrop->copy();
    item->m_oRotate = m_oRotate->copy();
    item->m_oEffect = m_oEffect->copy();
    if (m_oTrim)
        item->m_oTrim = m_oTrim->copy();
    return item;
}

// Loading -----------------------------------------------------------------------------------
// The resource counts its loads; this item takes at most one of each kind and keeps it until
// releaseLoaded(), however often the renderer asks for a persistent picture.

void HLRenderItem::p_holdPreview()
{
    if (!m_bHoldsPreview.exchange(true))
        m_oResource->setBLoadPreview(true);
}

void HLRenderItem::p_holdSource()
{
    if (!m_bHoldsSource.exchange(true))
        m_oResource->setBLoadSource(true);
}

void HLRenderItem::releaseLoaded()
{
    if (m_bHoldsPreview.exchange(false))
        m_oResource->setBLoadPreview(false);
    if (m_bHoldsSource.exchange(false))
        m_oResource->setBLoadSource(false);
}

// Pictures ----------------------------------------------------------------------------------

QSizeF HLRenderItem::renderDisplaySize() const
{
    const QSizeF size = m_oResource->enType() == HLResourceTypeImage ? m_oResource->imageResolution()
                                                                     : m_oResource->videoResolution();
    return m_oRotate->isNormal() ? size : size.transposed();
}

float HLRenderItem::renderDisplayRatio() const
{
    const QSizeF size = renderDisplaySize();
    return float(size.width() / size.height());
}

float HLRenderItem::renderDisplayDuration() const
{
    if (m_oResource->enType() != HLResourceTypeVideo || !m_oTrim)
        return 0;
    return m_oTrim->trimedDuraton();
}

namespace {

const QRectF kWhole(0, 0, 1, 1);

// The limit shaped to a picture of size, with some room for the templates' zooms.
QSizeF shapedLimit(QSizeF size, QSizeF limit)
{
    const float pictureRatio = float(size.width() / size.height());
    const float limitRatio = float(limit.width() / limit.height());
    if (pictureRatio > limitRatio)
        limit.setHeight(limit.width() / double(pictureRatio));
    else
        limit.setWidth(limit.height() * double(pictureRatio));
    return limit * double(1.2f);
}

} // namespace

QImage HLRenderItem::p_loadedImage(HLRenderMode mode, qint64 time, bool persistent)
{
    const bool preview = mode == HLRenderModePreview;
    const auto setLoad = [&](bool load) {
        if (preview)
            m_oResource->setBLoadPreview(load);
        else
            m_oResource->setBLoadSource(load);
    };
    const bool temporary = !persistent && !(preview ? m_bHoldsPreview : m_bHoldsSource);
    if (temporary)
        setLoad(true);
    else if (preview)
        p_holdPreview();
    else
        p_holdSource();
    const QImage image = m_oResource->isVideo() ? m_oResource->videoFrameAt(time)
                         : preview              ? m_oResource->imagePreview()
                                                : m_oResource->imageSource();
    if (temporary)
        setLoad(false);
    return image;
}

Picture HLRenderItem::originalImage(HLRenderMode mode, qint64 time, QSizeF limit, bool persistent,
                                    const HLRenderEditCrop *crop, const HLRenderEditRotate *rotate)
{
    const bool video = m_oResource->enType() == HLResourceTypeVideo;
    if (video)
        time = m_oTrim ? m_oTrim->mappedTicks(time) : 0;
    const QRectF kept = crop ? crop->ratioRect() : kWhole;
    const QRectF cut = rotate ? rotate->unturnedRect(kept) : kept;
    const bool turned = rotate && !rotate->isNormal();
    const bool exporting = mode != HLRenderModePreview;

    const QSizeF whole = video ? QSizeF() : m_oResource->imageResolution();
    if (exporting && !whole.isEmpty()) {
        const QRect region = cut == kWhole ? QRect() : HLImageHelper::pixelRectOf(whole, cut);
        const QSizeF part = region.isNull() ? whole : QSizeF(region.size());
        if (part.isEmpty())
            return {};
        QSizeF drawn = shapedLimit(turned ? part.transposed() : part, limit);
        if (turned)
            drawn.transpose();
        const QImage image = PhotoCache::shared().photo(m_oResource->sourcePath(), region,
                                                        drawn.toSize().expandedTo(QSize(1, 1)));
        return Picture::fromImage(image);
    }

    QImage image = p_loadedImage(mode, time, persistent);
    if (image.isNull())
        return {};
    if (cut != kWhole) {
        image = image.copy(HLImageHelper::pixelRectOf(image.size(), cut));
        if (image.isNull())
            return {};
    }
    const QSize upright = turned ? image.size().transposed() : image.size();
    // Limiting leaves a picture larger than its place in one direction only (a panorama) at
    // its full size, which every later step of the preview then pays for: it is shaped too.
    const bool panorama = (upright.width() > limit.width()) != (upright.height() > limit.height());
    if (exporting || panorama) {
        limit = shapedLimit(upright, limit);
        if (turned)
            limit.transpose();
    }
    return Picture::fromImage(HLImageHelper::hlLimitInsideImageOf(image, limit));
}

QImage HLRenderItem::editedPreviewImageAt(float time)
{
    p_holdPreview();
    const QImage image = m_oResource->enType() == HLResourceTypeVideo
                             ? m_oResource->videoFrameAt(zk_ff_time_from_double(time))
                             : m_oResource->imagePreview();
    if (image.isNull())
        return {};
    Picture picture = Picture::fromImage(HLImageHelper::hlLimitInsideImageOf(image, QSizeF(1000, 1000)));
    picture = m_oEffect->render(picture);
    picture = m_oRotate->render(picture);
    return picture.image();
}

// Archive -----------------------------------------------------------------------------------

void HLRenderItem::encodeWithCoder(HLKeyedArchiver &coder) const
{
    coder.encodeObject(QStringLiteral("kNSCodingResource"), m_oResource);
    coder.encodeObject(QStringLiteral("kNSCodingCrop"), m_oCrop);
    coder.encodeObject(QStringLiteral("kNSCodingRotate"), m_oRotate);
    coder.encodeObject(QStringLiteral("kNSCodingEffect"), m_oEffect);
    coder.encodeObject(QStringLiteral("kNSCodingTrim"), m_oTrim);
}

std::shared_ptr<HLRenderItem> HLRenderItem::initWithCoder(HLKeyedUnarchiver &coder)
{
    auto item = std::make_shared<HLRenderItem>();
    item->m_oResource = coder.decodeObject<HLResourceItem>(QStringLiteral("kNSCodingResource"));
    item->m_oCrop = coder.decodeObject<HLRenderEditCrop>(QStringLiteral("kNSCodingCrop"));
    item->m_oRotate = coder.decodeObject<HLRenderEditRotate>(QStringLiteral("kNSCodingRotate"));
    item->m_oEffect = coder.decodeObject<HLRenderEditEffect>(QStringLiteral("kNSCodingEffect"));
    item->m_oTrim = coder.decodeOptionalObject<HLRenderEditTrim>(QStringLiteral("kNSCodingTrim"));
    const HLResourceType type = item->m_oResource->enType();
    if (type != HLResourceTypeVideo && type != HLResourceTypeImage)
        throw HLArchiveError(QStringLiteral("HLRenderItem: kNSCodingResource is neither photo nor clip"));
    if (type == HLResourceTypeImage)
        item->m_oTrim = nullptr; // a photo plays no clip
    return item;
}
