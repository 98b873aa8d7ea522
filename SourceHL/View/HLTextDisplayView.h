#pragma once

#include "SourceHL/View/HLViewGeometry.h"

#include <QFont>
#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class HLTextItem;

// The title being edited, drawn at its place over the picture, which the user moves with
// the mouse or the arrow keys. The view writes no model: each move hands the new place to
// the owner as two ratios across the range the title may move in (see
// hl_overlayLimitedFrame), and the owner stores them through the edit gate.
class HLTextDisplayView : public QWidget
{
    Q_OBJECT
public:
    // The new centre's ratios; an empty one stays as it was.
    using FeedbackBlock = std::function<void(std::optional<float> centerX, std::optional<float> centerY)>;

    explicit HLTextDisplayView(QWidget *parent = nullptr);

    // Told every move.
    void setUp(const FeedbackBlock &feedback) { m_blkFeedback = feedback; }
    std::shared_ptr<HLTextItem> oItem() const { return m_oItem.lock(); }
    // A different item drops the built text; the owner then calls updateDisplay().
    void setOItem(const std::shared_ptr<HLTextItem> &item);
    // Rebuilds the text and its picture from the item.
    void updateDisplay();
    // View points per text unit; the owner redraws.
    float dResize() const { return m_dResize; }
    void setDResize(float resize) { m_dResize = resize; }

    // Geometry in view points, y-up.
    HLViewRect limitedFrame() const;
    HLViewPoint currentCenter() const;
    HLViewRect displayFrame() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    float shownWidth() const;
    float shownHeight() const;
    HLViewPoint yUp(QPointF point) const;
    QRectF flipped(const HLViewRect &rect) const;
    void p_updateCenterRatio(HLViewPoint center);

    std::weak_ptr<HLTextItem> m_oItem;
    float m_dResize = 1;
    QString m_strText;
    QFont m_font;
    QSizeF m_szText{0, 0}; // the text's own size in text units; 0 × 0 without text
    QImage m_imgText;
    bool m_bIsEnable = false;
    HLViewPoint m_pntDragPoint;
    HLViewPoint m_pntDragCenter;
    FeedbackBlock m_blkFeedback;
};
