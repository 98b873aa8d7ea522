#pragma once

#include <QWidget>

#include <functional>

// The text line's row behind the title cells: the text line controller's view, and the drop
// target of a title carried along the line, with a green marker where it would land.
class HLTextlineBackView : public QWidget
{
    Q_OBJECT
public:
    // x where the carried title's left edge lands, in the row's points.
    using DropBlock = std::function<void(HLTextlineBackView *view, double x)>;

    explicit HLTextlineBackView(QWidget *parent = nullptr);

    void setUpMouseDrop(DropBlock drop) { m_blkDrop = std::move(drop); }
    // -1: no marker.
    double dDropX() const { return m_dDropX; }
    void setDDropX(double x);

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Accepts (and marks) only a title of this program, and only while no sheet is up.
    bool p_track(QDropEvent *event);

    DropBlock m_blkDrop;
    double m_dDropX = -1;
};
