#pragma once

#include <QWidget>

// The flat dark ground behind a player. A click takes the keyboard focus from any field
// being edited and goes no further.
class PlayModeBgView : public QWidget
{
    Q_OBJECT
public:
    explicit PlayModeBgView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};
