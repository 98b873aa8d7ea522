#pragma once

#include "Platform/Foundation/HLCoding.h"
#include "SourceHL/Common/HLDirtyMark.h"

#include <QColor>
#include <QSizeF>
#include <QString>
#include <QtGlobal>

#include <memory>

class HLKeyedUnarchiver;

// The reference canvas of static titles: sizes, radii and offsets of a style are given for it
// and scaled to the frame.
inline constexpr QSizeF static_render_size(600, 450);

// A title's text and look. Static text (type 0) is drawn into a picture with an optional
// rounded back plate and shadow; template text (type 1) hands text, font, colour, centre and
// move times to a text template. The dirty mark is never archived, copied or compared.
class HLTextEdit : public HLCoding
{
public:
    using HLTextEditType = qint64;
    static constexpr HLTextEditType HLTextEditTypeStatic = 0;
    static constexpr HLTextEditType HLTextEditTypeDynamic = 1;

    // Font sizes an archive may hold: above 0 and at most this (the canvas is 600 × 450).
    static constexpr float kMaximumFontSize = 1000;

    // A new style with the defaults.
    static std::shared_ptr<HLTextEdit> textEdit();

    // Every field but the dirty mark taken from other, or the defaults for nullptr.
    void keepTheSame(const HLTextEdit *other);
    void reset();
    // Equal style, dirty mark clear.
    std::shared_ptr<HLTextEdit> copy() const;
    // Floats compared exactly, colours within hlIsEqual's tolerance; the dirty mark is not.
    bool isEqual(const HLTextEdit &other) const;

    // The setters keep every field in the domain the decoder accepts, so that a saved style
    // always opens again: a type other than 0 or 1, a size not above 0, a number that is no
    // number, an invalid colour are ignored; a size above kMaximumFontSize is taken as the
    // maximum, a negative radius or move time as 0, the plate's opacity kept within [0, 1].
    // An edit the renderers must draw again; they compare generations and never clear it.
    void makeDirty() { m_oDirty.makeDirty(); }
    quint64 iDirtyGeneration() const { return m_oDirty.iGeneration(); }

    HLTextEditType enType() const { return m_enType; }
    void setEnType(HLTextEditType type);
    QString strText() const { return m_strText; }
    void setStrText(const QString &text) { m_strText = text; }
    QString strFont() const { return m_strFont; }
    void setStrFont(const QString &font) { m_strFont = font; }
    float dFontSize() const { return m_dFontSize; }
    void setDFontSize(float size);
    QColor clFont() const { return m_clFont; }
    void setClFont(const QColor &color);
    float dCenterX() const { return m_dCenterX; }
    void setDCenterX(float x);
    float dCenterY() const { return m_dCenterY; }
    void setDCenterY(float y);
    bool bStaticBack() const { return m_bStaticBack; }
    void setBStaticBack(bool back) { m_bStaticBack = back; }
    QColor clStaticBack() const { return m_clStaticBack; }
    void setClStaticBack(const QColor &color);
    float dStaticBackRadius() const { return m_dStaticBackRadius; }
    void setDStaticBackRadius(float radius);
    float dStaticBackAlpha() const { return m_dStaticBackAlpha; }
    void setDStaticBackAlpha(float alpha);
    bool bStaticShadow() const { return m_bStaticShadow; }
    void setBStaticShadow(bool shadow) { m_bStaticShadow = shadow; }
    QColor clStaticShadow() const { return m_clStaticShadow; }
    void setClStaticShadow(const QColor &color);
    float dStaticShadowRadius() const { return m_dStaticShadowRadius; }
    void setDStaticShadowRadius(float radius);
    float dStaticShadowOffsetX() const { return m_dStaticShadowOffsetX; }
    void setDStaticShadowOffsetX(float offset);
    float dStaticShadowOffsetY() const { return m_dStaticShadowOffsetY; }
    void setDStaticShadowOffsetY(float offset);
    float dDynamicMoveIn() const { return m_dDynamicMoveIn; }
    void setDDynamicMoveIn(float seconds);
    float dDynamicMoveOut() const { return m_dDynamicMoveOut; }
    void setDDynamicMoveOut(float seconds);

    QString className() const override { return QStringLiteral("HLTextEdit"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Refuses a type other than 0 or 1, a float that is no number or infinite, and a font
    // size outside (0, kMaximumFontSize]; a negative radius or move time is taken as 0 and
    // the plate's opacity kept within [0, 1].
    static std::shared_ptr<HLTextEdit> initWithCoder(HLKeyedUnarchiver &coder);

private:
    HLDirtyMark m_oDirty;
    HLTextEditType m_enType = HLTextEditTypeStatic;
    QString m_strText;
    QString m_strFont;
    float m_dFontSize = 0;
    QColor m_clFont;
    float m_dCenterX = 0;
    float m_dCenterY = 0;
    bool m_bStaticBack = false;
    QColor m_clStaticBack;
    float m_dStaticBackRadius = 0;
    float m_dStaticBackAlpha = 0;
    bool m_bStaticShadow = false;
    QColor m_clStaticShadow;
    float m_dStaticShadowRadius = 0;
    float m_dStaticShadowOffsetX = 0;
    float m_dStaticShadowOffsetY = 0;
    float m_dDynamicMoveIn = 0;
    float m_dDynamicMoveOut = 0;
};
