#pragma once

#include <QWidget>

// The sorter's top bar: grey 0.15 with a dark line along its top edge.
class HLSortTopBackView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
