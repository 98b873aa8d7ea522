#include "SourceHL/Model/Timeline/HLRenderItem.h"

#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "Platform/Imaging/Picture.h"
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

// The limit shaped to the picture, with some room for the templates' zooms.
QSizeF HLRenderItem::p_shapedLimit(QSize picture, QSizeF limit)
{
    if (picture.isEmpty())
        return limit;
    const float pictureRatio = float(double(picture.width()) / double(picture.height()));
    const float limitRatio = float(limit.width() / limit.height());
    if (pictureRatio > limitRatio)
        limit.setHeight(limit.width() / double(pictureRatio));
    else
        limit.setWidth(limit.height() * double(pictureRatio));
    return limit * double(1.2f);
}

Picture HLRenderItem::originalImage(HLRenderMode mode, float time, QSizeF limit, bool persistent)
{
    const bool video = m_oResource->enType() == HLResourceTypeVideo;
    if (video)
        time = m_oTrim ? m_oTrim->mappedTime(time) : 0.0f;

    QImage image;
    if (mode == HLRenderModePreview) {
        const bool temporary = !persistent && !m_bHoldsPreview;
        if (temporary)
            m_oResource->setBLoadPreview(true);
        else
            p_holdPreview();
        image = video ? m_oResource->videoFrameAt(time) : m_oResource->imagePreview();
        if (temporary)
            m_oResource->setBLoadPreview(false);
        // Limiting leaves a picture larger than its place in one direction only (a panorama)
        // at its full size, which every later step then pays for: it is shaped as in export.
        if ((image.width() > limit.width()) != (image.height() > limit.height()))
            limit = p_shapedLimit(image.size(), limit);
    } else {
        const bool temporary = !persistent && !m_bHoldsSource;
        if (temporary)
            m_oResource->setBLoadSource(true);
        else
            p_holdSource();
        image = video ? m_oResource->videoFrameAt(time) : m_oResource->imageSource();
        if (temporary)
            m_oResource->setBLoadSource(false);
        if (!image.isNull())
            limit = p_shapedLimit(image.size(), limit);
    }
    if (image.isNull())
        return {};
    return Picture::fromImage(HLImageHelper::hlLimitInsideImageOf(image, limit));
}

QImage HLRenderItem::editedPreviewImageAt(float time)
{
    p_holdPreview();
    const QImage image = m_oResource->enType() == HLResourceTypeVideo ? m_oResource->videoFrameAt(time)
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
