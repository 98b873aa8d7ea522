#pragma once

#include <QWidget>

// The output-size dialog's background: grey 0.15 with a dark rule along the top edge.
class HLUIWndSzBackView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
