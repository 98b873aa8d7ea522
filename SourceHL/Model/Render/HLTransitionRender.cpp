#include "SourceHL/Model/Render/HLTransitionRender.h"

#include "Platform/Imaging/Picture.h"

namespace {
const QString kRenderKeyBackgroundImage = QStringLiteral("BackgroundImage");
const QString kRenderKeyImageA = QStringLiteral("ImageA");
const QString kRenderKeyImageB = QStringLiteral("ImageB");

// A null picture counts as none, so the flags never claim a picture that draws nothing.
QVariant pictureOrNothing(const QVariant &picture)
{
    if (picture.metaType() == QMetaType::fromType<QImage>() && picture.value<QImage>().isNull())
        return {};
    if (picture.metaType() == QMetaType::fromType<Picture>() && picture.value<Picture>().isNull())
        return {};
    return picture;
}
} // namespace

std::unique_ptr<HLTransitionRender> HLTransitionRender::initFreely(bool freely, const QString &name,
                                                                   std::shared_ptr<const Composition> composition)
{
    return make<HLTransitionRender>(freely, HLRenderTypeTransition, name, std::move(composition));
}

std::unique_ptr<HLTransitionRender> HLTransitionRender::initSized(QSize size, const QString &name,
                                                                      std::shared_ptr<const Composition> composition)
{
    return makeSized<HLTransitionRender>(size, HLRenderTypeTransition, name, std::move(composition));
}

void HLTransitionRender::clear()
{
    updateBackground(QVariant());
    updateImageA(QVariant());
    updateImageB(QVariant());
}

bool HLTransitionRender::hasBackground() const
{
    return value(kRenderKeyBackgroundImage).isValid();
}

void HLTransitionRender::updateBackground(const QVariant &picture)
{
    setValue(kRenderKeyBackgroundImage, pictureOrNothing(picture));
}

void HLTransitionRender::updateImageA(const QVariant &picture)
{
    const QVariant v = pictureOrNothing(picture);
    setValue(kRenderKeyImageA, v);
    m_bHasImageA = v.isValid();
}

void HLTransitionRender::updateImageB(const QVariant &picture)
{
    const QVariant v = pictureOrNothing(picture);
    setValue(kRenderKeyImageB, v);
    m_bHasImageB = v.isValid();
}
