#pragma once

#include <QWidget>

// The header of the audio line.
class HLUIAULineTitleView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
