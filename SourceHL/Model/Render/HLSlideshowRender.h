#pragma once

#include "Platform/Imaging/Picture.h"
#include "SourceHL/Model/Render/HLDrawnFrom.h"
#include "SourceHL/Model/Render/HLRender.h"

#include <QList>

// Draws the pictures of a slideshow item through a slideshow template, with its background.
class HLSlideshowRender : public HLRender
{
public:
    static std::unique_ptr<HLSlideshowRender> initFreely(bool freely, const QString &name,
                                                         std::shared_ptr<const Composition> composition);
    // At the given pixel size instead of the render-context pool's; nothing for an empty size.
    static std::unique_ptr<HLSlideshowRender> initSized(QSize size, const QString &name,
                                              std::shared_ptr<const Composition> composition);

    // Counts the snapshot first.
    QImage snapshotNSImageAt(float time) override;

    // Empties the background and the pictures.
    void clear();
    bool repeatOver(qint64 count) const { return m_iRepeat >= count; }
    bool hasBackground() const;
    // A null picture empties it; from records which item's background, at which edit
    // generation, it is.
    void updateBackground(const Picture &picture, const HLDrawnFrom &from = {});
    const HLDrawnFrom &oBackgroundFrom() const { return m_oBackgroundFrom; }
    // One picture per item of the slideshow; a null one leaves its slot empty.
    void updateImages(const QList<Picture> &images);

    qint64 iRepeat() const { return m_iRepeat; }

protected:
    double p_compositionTime(float time) const override;

private:
    friend class HLRender;
    using HLRender::HLRender;

    qint64 m_iRepeat = 0;
    QList<Picture> m_aryImages;
    HLDrawnFrom m_oBackgroundFrom;
};
