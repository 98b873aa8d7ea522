#pragma once

#include "SourceHL/Editors/HLLimitedView.h"

#include <functional>

// The crop rectangle over the displayed picture: moved by dragging its inside, resized by its
// corners and edges (12-point band), nudged by the arrow keys; it stays inside the picture and
// never gets smaller than 24 × dResizeRatio. Its frame is the display frame grown by 6 points.
// After every user change it calls the feedback, from which the owner reads rctDisplayFrame.
// Owner's order per item: setLimitedRect(picture frame), setRctDisplayFrame(crop),
// setDResizeRatio(display scale).
class HLCropView : public HLLimitedView
{
    Q_OBJECT
public:
    enum CropGuideMask : quint64 { GuideCenter = 1, GuideDiagonals = 2, GuideTrisection = 4 };

    explicit HLCropView(QWidget *parent);

    void setup(std::function<void()> feedback) { m_blkFeedback = std::move(feedback); }
    // The picture's rectangle; the view may reach 6 points past it.
    void setLimitedRect(const Rect &imageRect) override;
    Rect rctDisplayFrame() const { return frameRect().inset(HLCropGeometry::kMargin); }
    // No clamp and no feedback; grows to the minimum rightwards and upwards.
    void setRctDisplayFrame(const Rect &r);
    double dResizeRatio() const { return m_dResizeRatio; }
    void setDResizeRatio(double ratio) { m_dResizeRatio = ratio; }
    void updateDisplayFreely() { m_bIsCustomed = true; }
    void updateDisplayByRatio(double ratio);
    void clear();
    quint64 enumDrawType() const { return m_enumDrawType; }
    void setEnumDrawType(quint64 mask);

    bool bIsCustomed() const { return m_bIsCustomed; }
    bool bIsDragging() const { return m_bIsDragging; }
    double dCropRatio() const { return m_dCropRatio; }
    qint64 enumDragType() const { return m_enumDragType; }
    qint64 enumResizeType() const { return m_enumResizeType; }
    qint64 enumStationaryType() const { return m_enumStationaryType; }
    Point pntOffsetToBoundary() const { return m_pntOffsetToBoundary; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void p_cropFrameDidChange();
    void p_updateCursor(QPointF local);

    bool m_bIsCustomed = true;
    bool m_bIsDragging = false;
    double m_dResizeRatio = 1;
    quint64 m_enumDrawType = 0;
    qint64 m_enumDragType = 0;
    qint64 m_enumResizeType = 0;
    qint64 m_enumStationaryType = 1;
    double m_dCropRatio = 1;
    std::function<void()> m_blkFeedback;
    Point m_pntLastPoint;
    Point m_pntLastViewOrigin;
    Point m_pntOffsetToBoundary;
    Rect m_rctLastSelfFrame;
};
