#pragma once

#include <QColor>
#include <QWidget>

// A plain colour sample: the whole view in clColor, nothing when it is unset. The setter
// does not redraw; the owner does.
class HLColorView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    QColor clColor() const { return m_clColor; }
    void setClColor(const QColor &color) { m_clColor = color; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_clColor;
};
