#pragma once

#include <QWidget>

// The background of the preview column: a dark fill under a black top hairline.
class HLUIDisplayBackView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
