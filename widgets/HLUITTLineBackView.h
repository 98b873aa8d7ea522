#pragma once

#include <QWidget>

// The background of the text line; the pair of lines at 59.5 and 60.5 stays at that height
// whatever the view's height, matching the header beside it.
class HLUITTLineBackView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
