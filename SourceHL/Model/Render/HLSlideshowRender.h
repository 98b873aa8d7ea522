#pragma once

#include "SourceHL/Model/Render/HLRender.h"

#include <QVariantList>

// Draws the pictures of a slideshow item through a slideshow template, with its background.
class HLSlideshowRender : public HLRender
{
public:
    static std::unique_ptr<HLSlideshowRender> initFreely(bool freely, const QString &name,
                                                         std::shared_ptr<const Composition> composition);
    // At the given pixel size instead of the render-context pool's; nothing for an empty size.
    static std::unique_ptr<HLSlideshowRender> initSized(QSize size, const QString &name,
                                              std::shared_ptr<const Composition> composition);

    // Both count the snapshot first.
    QImage snapshotNSImageAt(float time) override;
    Picture snapshotCIImageAt(float time) override;

    // Empties the background and the pictures.
    void clear();
    bool repeatOver(qint64 count) const { return m_iRepeat >= count; }
    bool hasBackground() const;
    // A picture (QImage or Picture), or an invalid value to empty it.
    void updateBackground(const QVariant &picture);
    // One {"Image": picture} per item of the slideshow; an entry without a picture is empty.
    void updateImages(const QVariantList &images);

    qint64 iRepeat() const { return m_iRepeat; }
    void setIRepeat(qint64 repeat) { m_iRepeat = repeat; }

protected:
    double p_compositionTime(float time) const override;

private:
    friend class HLRender;
    using HLRender::HLRender;

    qint64 m_iRepeat = 0;
};
