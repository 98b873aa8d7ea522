#pragma once

#include <QWidget>

// The marker of the play position at the top of the content line.
class HLPlaylineHeadView : public QWidget
{
    Q_OBJECT
public:
    explicit HLPlaylineHeadView(QWidget *parent = nullptr);

    // Centres the head on x, keeping its height and size.
    void update(double x);
    // The middle of the head: the play position on the content line.
    double center() const { return m_dCenter; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double m_dCenter = 0;
};
