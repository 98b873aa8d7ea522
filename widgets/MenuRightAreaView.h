#pragma once

#include <QWidget>

// The ground of a right-hand settings column: grey with a dark and a light hairline down its
// left edge and a dark one along its top. A click takes the keyboard focus from any field
// being edited and goes no further.
class MenuRightAreaView : public QWidget
{
    Q_OBJECT
public:
    explicit MenuRightAreaView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};
