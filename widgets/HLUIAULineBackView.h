#pragma once

#include <QWidget>

// The background of the audio line.
class HLUIAULineBackView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
