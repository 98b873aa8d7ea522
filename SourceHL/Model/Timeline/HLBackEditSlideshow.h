#pragma once

#include "Platform/Foundation/HLCoding.h"
#include "SourceHL/Common/HLDirtyMark.h"

#include <QColor>
#include <QImage>
#include <QSizeF>

#include <memory>

class HLKeyedUnarchiver;
class HLResourceItem;

// The background of a slideshow item: off, a colour, a two-colour gradient across or
// upwards, or a picture from the media store.
class HLBackEditSlideshow : public HLCoding
{
public:
    static std::shared_ptr<HLBackEditSlideshow> backEdit();

    void reset();
    // Every field but the dirty mark of other (colours copied, the picture shared), or the
    // defaults.
    void keepTheSame(const HLBackEditSlideshow *other);
    // The copy's dirty mark is clear.
    std::shared_ptr<HLBackEditSlideshow> copy() const;
    bool isEqual(const HLBackEditSlideshow &other) const;

    // The background picture at size, or a null image when the background is off or its
    // picture is missing.
    QImage backgroundOf(QSizeF size) const;
    // The preview picture of the background resource; null without one.
    QImage previewImage() const;

    // An edit the renderers must draw again; they compare generations and never clear it.
    void makeDirty() { m_oDirty.makeDirty(); }
    quint64 iDirtyGeneration() const { return m_oDirty.iGeneration(); }
    bool bBackground() const { return m_bBackground; }
    void setBBackground(bool background) { m_bBackground = background; }
    // 0 colour, any other value picture.
    qint64 enBackType() const { return m_enBackType; }
    void setEnBackType(qint64 type) { m_enBackType = type; }
    // 0 single colour, any other value gradient.
    qint64 enColorType() const { return m_enColorType; }
    void setEnColorType(qint64 type) { m_enColorType = type; }
    // 0 left to right, any other value bottom to top.
    qint64 enGradientType() const { return m_enGradientType; }
    void setEnGradientType(qint64 type) { m_enGradientType = type; }
    QColor clBackSingle() const { return m_clBackSingle; }
    // Invalid colours are ignored; an archive holds none.
    void setClBackSingle(const QColor &color);
    QColor clBackGradientStart() const { return m_clBackGradientStart; }
    void setClBackGradientStart(const QColor &color);
    QColor clBackGradientEnd() const { return m_clBackGradientEnd; }
    void setClBackGradientEnd(const QColor &color);
    std::shared_ptr<HLResourceItem> oBack() const { return m_oBack; }
    // A resource that is no picture is ignored, as the archive refuses it.
    void setOBack(const std::shared_ptr<HLResourceItem> &back);

    QString className() const override { return QStringLiteral("HLBackEditSlideshow"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    static std::shared_ptr<HLBackEditSlideshow> initWithCoder(HLKeyedUnarchiver &coder);

private:
    QImage p_colorImageOf(QSizeF size) const;
    QImage p_safedImageOf(QSizeF size) const;

    HLDirtyMark m_oDirty;
    bool m_bBackground = false;
    qint64 m_enBackType = 0;
    qint64 m_enColorType = 0;
    qint64 m_enGradientType = 0;
    QColor m_clBackSingle = Qt::black;
    QColor m_clBackGradientStart = Qt::green;
    QColor m_clBackGradientEnd = Qt::blue;
    std::shared_ptr<HLResourceItem> m_oBack;
};
