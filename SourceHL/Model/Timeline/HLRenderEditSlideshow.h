#pragma once

#include "Platform/Foundation/HLCoding.h"
#include "SourceHL/Common/HLDirtyMark.h"

#include <QColor>

#include <memory>

class HLKeyedUnarchiver;
class Picture;

// The photo frame of a slideshow item's pictures: each picture set on a coloured 4:3
// canvas, with an optional coloured border along its edges.
class HLRenderEditSlideshow : public HLCoding
{
public:
    static std::shared_ptr<HLRenderEditSlideshow> renderEdit();

    bool isEqual(const HLRenderEditSlideshow &other) const;
    // The copy's dirty mark is clear.
    std::shared_ptr<HLRenderEditSlideshow> copy() const;
    // The switches, ratios and colours of other, or the defaults; the dirty mark stays.
    void keepTheSame(const HLRenderEditSlideshow *other);
    void reset();
    bool isEdited() const;

    // The setters keep the archive's domains: invalid colours and ratios that are no finite
    // number are ignored, the border is never negative, the background's opacity in [0, 1].
    // An edit the renderers must draw again; they compare generations and never clear it.
    void makeDirty() { m_oDirty.makeDirty(); }
    quint64 iDirtyGeneration() const { return m_oDirty.iGeneration(); }

    bool bImageBorder() const { return m_bImageBorder; }
    void setBImageBorder(bool border) { m_bImageBorder = border; }
    QColor clBorderColor() const { return m_clBorderColor; }
    void setClBorderColor(const QColor &color);
    float dBorderRatio() const { return m_dBorderRatio; }
    void setDBorderRatio(float ratio);
    bool bImageBackground() const { return m_bImageBackground; }
    void setBImageBackground(bool background) { m_bImageBackground = background; }
    QColor clBackgroundColor() const { return m_clBackgroundColor; }
    void setClBackgroundColor(const QColor &color);
    float dBackgroundRatio() const { return m_dBackgroundRatio; }
    void setDBackgroundRatio(float ratio);

    // A new picture of the 4:3 canvas around the picture (always made).
    Picture render(const Picture &picture) const;

    QString className() const override { return QStringLiteral("HLRenderEditSlideshow"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Ratios that are no number are refused; the background's opacity is kept in [0, 1]
    // and the border never negative.
    static std::shared_ptr<HLRenderEditSlideshow> initWithCoder(HLKeyedUnarchiver &coder);

private:
    static float p_borderRatioOf(float ratio);
    static float p_backgroundRatioOf(float ratio);
    HLDirtyMark m_oDirty;
    bool m_bImageBorder = false;
    QColor m_clBorderColor = Qt::white;
    float m_dBorderRatio = 0.7f;
    bool m_bImageBackground = true;
    QColor m_clBackgroundColor = Qt::black;
    float m_dBackgroundRatio = 1.0f;
};
