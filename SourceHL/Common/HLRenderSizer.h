#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QSize>
#include <QSizeF>
#include <QtGlobal>

#include <memory>

class HLKeyedUnarchiver;

// The project's output picture size and the preview limit, and the size every frame is
// rendered at. Archived under "kNSCodingRenderSize" and "kNSCodingPreviewLimit"; the type
// is not archived (0 after loading).
class HLRenderSizer : public HLCoding
{
public:
    // 0: typedRenderSize() applies the preview limit; any other value: it is szRender.
    using HLRenderSizerType = qint64;

    // Sides and limit are above 0 and at most 16384 pixels, in the setters as in the archive:
    // the renderers would work on empty or impossibly large pictures.

    // Nothing unless width, height and limit are all in that range.
    static std::shared_ptr<HLRenderSizer> renderSizerOf(QSizeF size, float with);

    QSizeF szRender() const { return m_szRender; }
    // Ignored unless both sides are in range.
    void setSzRender(QSizeF size);
    float dPreviewLimit() const { return m_dPreviewLimit; }
    // Ignored unless in range.
    void setDPreviewLimit(float limit);
    HLRenderSizerType enType() const { return m_enType; }
    void setEnType(HLRenderSizerType type) { m_enType = type; }

    // The longer side limited to dPreviewLimit, aspect kept; may be fractional.
    QSizeF typedRenderSize() const;
    // typedRenderSize() in whole, even pixels (nearest, then down to even; at least 2 × 2),
    // as video encoders with 4:2:0 chroma need.
    QSize evenRenderSize() const;
    // width / height of szRender; 1.0 when a side is 0 or less.
    float renderRatio() const;

    QString className() const override;
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // A side or limit out of range is refused (HLArchiveError).
    static std::shared_ptr<HLRenderSizer> initWithCoder(HLKeyedUnarchiver &coder);
    // Registers the class for unarchiving; once at start-up.
    static void registerCoding();

private:
    HLRenderSizer(QSizeF size, float limit);

    QSizeF m_szRender;
    float m_dPreviewLimit;
    HLRenderSizerType m_enType = 0;
};
