#pragma once

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
    // Pictures are QImage or Picture values; an invalid value (or a null picture) empties the port.
    void updateBackground(const QVariant &picture);
    void updateImageA(const QVariant &picture);
    void updateImageB(const QVariant &picture);

    bool bHasImageA() const { return m_bHasImageA; }
    bool bHasImageB() const { return m_bHasImageB; }

private:
    friend class HLRender;
    using HLRender::HLRender;

    bool m_bHasImageA = false;
    bool m_bHasImageB = false;
};
