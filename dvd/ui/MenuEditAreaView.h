#pragma once

#include <QWidget>

// The ground the menu canvas lies on: dark grey under a black top hairline.
class MenuEditAreaView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};
