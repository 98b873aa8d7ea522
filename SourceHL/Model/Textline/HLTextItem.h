#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QVariantMap>

#include <memory>

class HLKeyedUnarchiver;
class HLTextEdit;
class HLTextInfo;

// One title of the text line. Its line range is in strip positions (where the user put it on
// the timeline strip, so it stays over the same pictures); its play range is the same range
// in seconds, refreshed by the text line's syncPlayTime. Both ranges keep 0 <= min <= max.
class HLTextItem : public HLCoding
{
public:
    // Null for an empty id; else a static title with the default style, all ranges 0, then
    // updateText(dictionary).
    static std::shared_ptr<HLTextItem> textItemOf(const QString &ttid, const QVariantMap &dictionary = {});

    // Same id, the same descriptor (shared), a copy of the style, the same ranges.
    std::shared_ptr<HLTextItem> copy() const;
    // Same id, template name (or both static), equal style and exactly equal ranges.
    bool isEqual(const HLTextItem &other) const;
    QString description() const;

    // A text template's dictionary makes template text with its descriptor; anything else
    // (an empty dictionary included) makes static text. Nothing else of the style changes.
    void updateText(const QVariantMap &dictionary);

    // Fractions of the play range at which a template's entrance ends and its exit begins.
    float dynamicMoveInRatio() const;
    float dynamicMoveOutRatio() const;
    // The style's centre clamped to [0, 1]; no number gives 0.
    float dynamicCenterX() const;
    float dynamicCenterY() const;

    // Clamped to [0, dLineMax]; stored only when it differs.
    void updateLineMin(float value);
    // Clamped to at least dLineMin; stored only when it differs. Values that are no finite
    // number are ignored here and below: the archive holds none.
    void updateLineMax(float value);
    // Both set only when 0 <= start <= end < infinity; otherwise nothing.
    void updateLineMin(float start, float lineMax);
    float lineDuration() const;
    // Both set only when 0 <= start <= end < infinity; otherwise nothing.
    void updatePlayMin(float start, float playMax);
    float playDuration() const;

    // A transparent picture of the frame size with the static title drawn on it (the text of
    // an empty style leaves it transparent); a null picture for template text.
    QImage staticImageOfSize(QSizeF size) const;
    // The scale from the reference canvas to the frame: the larger of the width and height
    // ratios, so the canvas scaled covers the frame.
    static float p_resizeRatioOfDisplaySize(QSizeF displaySize, QSizeF testSize);

    QString strTTID() const { return m_strTTID; }
    std::shared_ptr<HLTextInfo> oTextInfo() const { return m_oTextInfo; }
    std::shared_ptr<HLTextEdit> oTextEdit() const { return m_oTextEdit; }
    float dLineMin() const { return m_dLineMin; }
    float dLineMax() const { return m_dLineMax; }
    float dPlayMin() const { return m_dPlayMin; }
    float dPlayMax() const { return m_dPlayMax; }

    QString className() const override { return QStringLiteral("HLTextItem"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Refuses an empty id, a template title without its descriptor, and ranges that are no
    // finite numbers; a negative start is taken as 0 and an end before the start as the start.
    static std::shared_ptr<HLTextItem> initWithCoder(HLKeyedUnarchiver &coder);

private:
    QString m_strTTID;
    std::shared_ptr<HLTextInfo> m_oTextInfo;
    std::shared_ptr<HLTextEdit> m_oTextEdit;
    float m_dLineMin = 0;
    float m_dLineMax = 0;
    float m_dPlayMin = 0;
    float m_dPlayMax = 0;
};
