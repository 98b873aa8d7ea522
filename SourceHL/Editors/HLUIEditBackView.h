#pragma once

#include <QWidget>

// The edit area's flat dark background: grey 0.16 with a dark top line and a dark and a
// lighter line along the left edge.
class HLUIEditBackView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The edit area's bottom bar: the same lines over a gradient from grey 0.14 (bottom) to 0.16.
class HLUIEditBottomView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The y-up height of the top line's centre: the height truncated, minus half a point.
double hlEditTopLineY(double height);
