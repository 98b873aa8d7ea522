#pragma once

#include <QWidget>

// The head of the right-hand area: a faint gradient over a black bottom hairline.
class RightAreaTopBackView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
