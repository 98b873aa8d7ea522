#include "SourceHL/Model/Render/HLTransitionRender.h"

namespace {
const QString kRenderKeyBackgroundImage = QStringLiteral("BackgroundImage");
const QString kRenderKeyImageA = QStringLiteral("ImageA");
const QString kRenderKeyImageB = QStringLiteral("ImageB");
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
    updateBackground(Picture());
    updateImageA(Picture());
    updateImageB(Picture());
}

bool HLTransitionRender::hasBackground() const
{
    return value(kRenderKeyBackgroundImage).isValid();
}

void HLTransitionRender::updateBackground(const Picture &picture)
{
    m_renderer.setPicture(kRenderKeyBackgroundImage, picture);
}

// A null picture counts as none, so the flags never claim a picture that draws nothing.
void HLTransitionRender::updateImageA(const Picture &picture, const HLDrawnFrom &from)
{
    m_renderer.setPicture(kRenderKeyImageA, picture);
    m_bHasImageA = !picture.isNull();
    m_oImageAFrom = from;
}

void HLTransitionRender::updateImageB(const Picture &picture, const HLDrawnFrom &from)
{
    m_renderer.setPicture(kRenderKeyImageB, picture);
    m_bHasImageB = !picture.isNull();
    m_oImageBFrom = from;
}
