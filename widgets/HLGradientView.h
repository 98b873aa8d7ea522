#pragma once

#include <QColor>
#include <QWidget>

// A two-colour sample: a gradient from clColorLB to clColorRU, left to right when enType is
// 0, bottom to top otherwise. The setters only store; the caller asks for the redraw.
class HLGradientView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    QColor clColorLB() const { return m_clColorLB; }
    void setClColorLB(const QColor &color) { m_clColorLB = color; }
    QColor clColorRU() const { return m_clColorRU; }
    void setClColorRU(const QColor &color) { m_clColorRU = color; }
    qint64 enType() const { return m_enType; }
    void setEnType(qint64 type) { m_enType = type; }

    // The gradient's angle in degrees: 0 (left to right) for type 0, else 90 (bottom to top).
    static int angleOf(qint64 type) { return type == 0 ? 0 : 90; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_clColorLB = Qt::black;
    QColor m_clColorRU = Qt::black;
    qint64 m_enType = 0;
};
