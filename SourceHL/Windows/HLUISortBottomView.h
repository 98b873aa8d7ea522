#pragma once

#include <QWidget>

// The sorter's bottom bar: grey 0.15 at the top down to 0.14, a dark top edge with a light
// line under it.
class HLUISortBottomView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
