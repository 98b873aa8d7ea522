#pragma once

#include <QWidget>

// The chooser's column of tabs: grey 0.14 (its leftmost 2 points left unpainted) with a dark
// right edge and a lighter line just inside it.
class HLUIQuartzListView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
