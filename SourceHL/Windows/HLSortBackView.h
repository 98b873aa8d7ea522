#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

// The view behind the sorter's tiles: a drop target for the sorter's drags and for files.
// While a drag hovers it asks its owner where the drop line belongs (y-up) and draws it in
// green; on the drop it hands the line's y upward.
class HLSortBackView : public QWidget
{
    Q_OBJECT
public:
    using MapBlock = std::function<double(double y)>;
    // Files dropped: their paths; the sorter's own views dropped: no paths.
    using DropBlock = std::function<void(HLSortBackView *view, double lineY, const QStringList &paths)>;

    explicit HLSortBackView(QWidget *parent = nullptr);

    void setupMap(MapBlock map, DropBlock drop);
    // y-up; negative: no line.
    double dDropY() const { return m_dDropY; }
    void setDDropY(double y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    double p_mapY(double y) const { return m_blkMap ? m_blkMap(y) : y; }

    MapBlock m_blkMap;
    DropBlock m_blkDrop;
    double m_dDropY = -1;
};
