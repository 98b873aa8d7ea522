#pragma once

#include <QWidget>

// The chooser's bottom bar: a gradient from grey 0.14 (bottom) to 0.16 and a dark top line.
class HLUIQuartzBottomView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
