#pragma once

#include <QWidget>

// The tool bar: an upward-lightening gradient between double hairlines at top and bottom.
class HLUIToolbarBackView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
