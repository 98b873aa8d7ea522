#pragma once

#include <QWidget>

// The header of the text line.
class HLUITTLineTitleView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
