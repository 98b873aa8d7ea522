#pragma once

#include "Platform/Foundation/HLCoding.h"
#include "SourceHL/Common/HLDirtyMark.h"

#include <QImage>
#include <QSizeF>

#include <atomic>
#include <memory>

class HLKeyedUnarchiver;
class HLRenderEditCrop;
class HLRenderEditEffect;
class HLRenderEditRotate;
class HLRenderEditTrim;
class HLResourceItem;
class Picture;

// The mode of a picture request: preview pictures or full-size sources.
using HLRenderMode = qint64;
enum : HLRenderMode {
    HLRenderModePreview = 0,
    HLRenderModeExport = 1,
};

// One photo or clip placed in a slideshow item: the shared resource and the edits that are
// this placement's own.
class HLRenderItem : public HLCoding
{
public:
    // Null for a null resource. A clip gets a trim over its whole length (none when that is 0).
    static std::shared_ptr<HLRenderItem> renderItemOf(const std::shared_ptr<HLResourceItem> &resource);
    ~HLRenderItem() override;

    // Same resource (kind and hash key) and equal edits.
    bool isEqual(const HLRenderItem &other) const;
    // Shares the resource, copies the edits; the copy is clean.
    std::shared_ptr<HLRenderItem> copy() const;

    // The picture the image editor shows: preview or clip frame at time (untrimmed), limited
    // to 1000 × 1000, with effect and rotation applied. Keeps the preview loaded until
    // releaseLoaded(). Null without a picture.
    QImage editedPreviewImageAt(float time);
    // The resource's pixel size, turned with the rotation.
    QSizeF renderDisplaySize() const;
    float renderDisplayRatio() const;
    // The trimmed length of a clip; 0 for a photo.
    float renderDisplayDuration() const;
    // The unedited picture at time (media ticks, mapped through the trim) limited to limit: preview for
    // mode 0, source otherwise. Given a crop (of the picture as rotate turns it), the part it
    // keeps is cut out before any reduction, so it is read at the size it is drawn. In export
    // the limit is shaped to the part as turned and enlarged by 1.2, and photos are decoded
    // straight at that size, one picture shared by everyone who draws the same part
    // (PhotoCache). Persistent keeps a preview or clip loaded until releaseLoaded(). Null
    // without a picture.
    Picture originalImage(HLRenderMode mode, qint64 time, QSizeF limit, bool persistent,
                          const HLRenderEditCrop *crop = nullptr, const HLRenderEditRotate *rotate = nullptr);
    // Gives back the loads that persistent requests and the edited preview keep.
    void releaseLoaded();

    std::shared_ptr<HLResourceItem> oResource() const { return m_oResource; }
    void setOResource(const std::shared_ptr<HLResourceItem> &resource) { m_oResource = resource; }
    std::shared_ptr<HLRenderEditCrop> oCrop() const { return m_oCrop; }
    void setOCrop(const std::shared_ptr<HLRenderEditCrop> &crop) { m_oCrop = crop; }
    std::shared_ptr<HLRenderEditRotate> oRotate() const { return m_oRotate; }
    void setORotate(const std::shared_ptr<HLRenderEditRotate> &rotate) { m_oRotate = rotate; }
    std::shared_ptr<HLRenderEditEffect> oEffect() const { return m_oEffect; }
    void setOEffect(const std::shared_ptr<HLRenderEditEffect> &effect) { m_oEffect = effect; }
    std::shared_ptr<HLRenderEditTrim> oTrim() const { return m_oTrim; }
    void setOTrim(const std::shared_ptr<HLRenderEditTrim> &trim) { m_oTrim = trim; }
    // An edit the renderers must draw again; they compare generations and never clear it.
    void makeDirty() { m_oDirty.makeDirty(); }
    quint64 iDirtyGeneration() const { return m_oDirty.iGeneration(); }

    QString className() const override { return QStringLiteral("HLRenderItem"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Refuses an item without resource, or whose kind is neither photo nor clip.
    static std::shared_ptr<HLRenderItem> initWithCoder(HLKeyedUnarchiver &coder);

private:
    void p_holdPreview();
    void p_holdSource();
    // The clip's frame or the preview picture, loaded for the request.
    QImage p_loadedImage(HLRenderMode mode, qint64 time, bool persistent);

    std::shared_ptr<HLResourceItem> m_oResource;
    std::shared_ptr<HLRenderEditCrop> m_oCrop;
    std::shared_ptr<HLRenderEditRotate> m_oRotate;
    std::shared_ptr<HLRenderEditEffect> m_oEffect;
    std::shared_ptr<HLRenderEditTrim> m_oTrim;
    HLDirtyMark m_oDirty;
    // Whether this item holds one of the resource's counted loads.
    std::atomic<bool> m_bHoldsPreview = false;
    std::atomic<bool> m_bHoldsSource = false;
};
