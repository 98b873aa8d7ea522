#pragma once

#include "SourceHL/Editors/HLTrimlineGeometry.h"

#include <QPointF>
#include <QPointer>
#include <QWidget>

#include <functional>

// One handle of the trim line: a small picture placed along the strip by a ratio, hit by its
// polygon rather than its rectangle, dragged between dMin and dMax. It lives in a view beside
// the strip (not inside it); the drag measures the pointer in window coordinates against the
// strip's width.
class HLTrimUnitView : public QWidget
{
    Q_OBJECT
public:
    using TrimUnitType = HLTrimlineGeometry::TrimUnitType;
    using Callback = std::function<void(HLTrimUnitView *unit)>;

    // A handle of that kind referring to strip: limits [0, 1], enabled, not chosen.
    static HLTrimUnitView *trimUnitViewOf(TrimUnitType type, QWidget *strip);

    void setupClick(Callback click, Callback change, Callback cancel);

    // The ratio the handle's anchor stands on; 0 without a parent or a strip of width 0.
    double dNow() const;
    void setDNow(double ratio);

    TrimUnitType enumType() const { return m_enumType; }
    bool bIsEnable() const { return m_bIsEnable; }
    void setBIsEnable(bool enable) { m_bIsEnable = enable; }
    bool bIsChoosen() const { return m_bIsChoosen; }
    void setBIsChoosen(bool chosen) { m_bIsChoosen = chosen; } // no redraw by itself
    bool bIsValid() const { return m_bIsValid; }
    double dMin() const { return m_dMin; }
    double dMax() const { return m_dMax; }
    void setDMin(double value) { m_dMin = value; }
    void setDMax(double value) { m_dMax = value; }
    QWidget *vTrimline() const { return m_vTrimline; }
    QString imageName() const; // the picture drawn now

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    HLTrimUnitView(TrimUnitType type, QWidget *strip);
    bool p_canTrack() const { return m_vTrimline && m_bIsEnable; }

    TrimUnitType m_enumType;
    QPointer<QWidget> m_vTrimline;
    bool m_bIsEnable = true;
    bool m_bIsChoosen = false;
    bool m_bIsValid = false;
    double m_dMin = 0;
    double m_dMax = 1;
    double m_dTmpNow = 0;
    QPointF m_pntMark;
    double m_left = 0; // exact left edge in the parent, which the integer geometry rounds
    Callback m_blkClick, m_blkChange, m_blkCancel;
};
