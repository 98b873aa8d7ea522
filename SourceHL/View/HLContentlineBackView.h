#pragma once

#include <QWidget>

#include <functional>

// The scrolled area of the content line: a press or a drag on any part of it that no item
// takes reports the pointer's x, so the content line can scrub there.
class HLContentlineBackView : public QWidget
{
    Q_OBJECT
public:
    explicit HLContentlineBackView(QWidget *parent = nullptr);

    void setUpFeedback(std::function<void(double x)> feedback) { m_blkFeedback = std::move(feedback); }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void p_report(QMouseEvent *event);

    bool m_bDidDown = false;
    std::function<void(double x)> m_blkFeedback;
};
