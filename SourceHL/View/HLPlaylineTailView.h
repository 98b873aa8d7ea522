#pragma once

#include <QWidget>

// The play position across the lines: a green and a near-black dashed line side by side.
class HLPlaylineTailView : public QWidget
{
    Q_OBJECT
public:
    explicit HLPlaylineTailView(QWidget *parent = nullptr);

    // Centres the tail on x; it always reaches down to the bottom of its superview's lines.
    void update(double x);

protected:
    void paintEvent(QPaintEvent *event) override;
};
