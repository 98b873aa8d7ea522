#pragma once

#include <QWidget>

// The bar along the bottom of the DVD tab: grey under a black top hairline. A click on it
// ends any text editing (the disc name), as a click beside a field does.
class ExportBottomView : public QWidget
{
    Q_OBJECT
public:
    explicit ExportBottomView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};
