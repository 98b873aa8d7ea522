#pragma once

#include "Platform/Imaging/Picture.h"
#include "SourceHL/Model/Render/HLDrawnFrom.h"
#include "SourceHL/Model/Render/HLRender.h"

// Blends the outgoing and the incoming picture through a transition template; its time runs from
// 0 to 1. Its pictures are slideshow snapshots, sharpened already, so it does not sharpen again.
class HLTransitionRender : public HLRender
{
public:
    static std::unique_ptr<HLTransitionRender> initFreely(bool freely, const QString &name,
                                                          std::shared_ptr<const Composition> composition);
    // At the given pixel size instead of the render-context pool's; nothing for an empty size.
    static std::unique_ptr<HLTransitionRender> initSized(QSize size, const QString &name,
                                              std::shared_ptr<const Composition> composition);

    // Empties the background, then "ImageA", then "ImageB".
    void clear();
    bool hasBackground() const;
    // A null picture empties the port. from records what the picture was drawn from.
    void updateBackground(const Picture &picture);
    void updateImageA(const Picture &picture, const HLDrawnFrom &from = {});
    void updateImageB(const Picture &picture, const HLDrawnFrom &from = {});

    bool bHasImageA() const { return m_bHasImageA; }
    bool bHasImageB() const { return m_bHasImageB; }
    const HLDrawnFrom &oImageAFrom() const { return m_oImageAFrom; }
    const HLDrawnFrom &oImageBFrom() const { return m_oImageBFrom; }

private:
    friend class HLRender;
    using HLRender::HLRender;

    bool m_bHasImageA = false;
    bool m_bHasImageB = false;
    HLDrawnFrom m_oImageAFrom;
    HLDrawnFrom m_oImageBFrom;
};
