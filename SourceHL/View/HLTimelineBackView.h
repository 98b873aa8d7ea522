#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

// The view behind the strip's rows: it takes the drops that land on no row (files from
// outside, cells dragged out of their row), asks its controller which boundary a drag
// points at, marks it with a green bar and hands the drop over.
class HLTimelineBackView : public QWidget
{
    Q_OBJECT
public:
    using MapBlock = std::function<double(double x)>;
    // The view, the marker x, the dropped files (empty for cells dragged inside the strip).
    using DropBlock = std::function<void(HLTimelineBackView *view, double x, const QStringList &paths)>;

    explicit HLTimelineBackView(QWidget *parent = nullptr);

    void setUpMap(MapBlock map, DropBlock drop);
    double dDropX() const { return m_dDropX; }
    void setDDropX(double x);
    double p_mapX(double x) const { return m_blkMap ? m_blkMap(x) : x; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool p_dragUpdated(QDropEvent *event);

    MapBlock m_blkMap;
    DropBlock m_blkDrop;
    double m_dDropX = -1;
};
