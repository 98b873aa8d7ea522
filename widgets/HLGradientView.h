#pragma once

#include <QColor>
#include <QWidget>

// A sample of a two-colour background: a gradient from clColorLB to clColorRU, left to right
// when enType is 0, bottom to top otherwise. The setters do not redraw; the owner does.
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

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_clColorLB;
    QColor m_clColorRU;
    qint64 m_enType = 0;
};
