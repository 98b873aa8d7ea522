#pragma once

#include "SourceHL/View/UIHashableProtocol.h"
#include "SourceHL/Windows/HLSortGeometry.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QMouseEvent;
class QPushButton;

// One slideshow item in the slide sorter: a rounded blue panel with a header (name, item
// count, duration) and an add button; the cells of its photos and videos are children placed
// by the sorter. A drop target for the sorter's cells and for files: while a drag hovers it
// marks the insertion cell in green, and on the drop it hands the insertion index upward.
class HLSortSlidView : public QWidget, public UIHashableProtocol
{
    Q_OBJECT
public:
    using Block = std::function<void(HLSortSlidView *tile)>;
    using MouseBlock = std::function<void(HLSortSlidView *tile, QMouseEvent *event)>;
    // Files dropped: their paths; the sorter's own cells dropped: no paths.
    using DropBlock = std::function<void(HLSortSlidView *tile, qint64 index, const QStringList &paths)>;

    // Nothing for an empty identifier.
    static HLSortSlidView *sortSlidViewOf(const QString &identifier, const QString &name);

    // The add button, titled and pictured as pattern.
    void setup(const QPushButton *pattern);
    void setUpAdd(Block add, MouseBlock down, MouseBlock drag, MouseBlock up, DropBlock drop);
    // "name    3 Items    00:01:20".
    void updateDuration(float seconds, qint64 count);
    // The add button to the top right corner, 10 in from the right edge.
    void updateAddUI();

    bool bIsChosen() const { return m_bIsChosen; }
    void setBIsChosen(bool chosen);
    float dRatio() const { return m_dRatio; }
    void setDRatio(float ratio) { m_dRatio = ratio; }
    const HLSortGeometry::DropCell &dropCell() const { return m_dropCell; }
    QString strID() const { return m_strID; }
    QString strName() const { return m_strName; }
    QString strTitle() const { return m_strTitle; }
    qint64 iCount() const { return m_iCount; }
    QPushButton *btnAdd() const { return m_btnAdd; }
    QString UIHashID() const override { return m_strID; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    HLSortSlidView(const QString &identifier, const QString &name);
    void p_setDropCell(const HLSortGeometry::DropCell &cell);

    bool m_bIsChosen = false;
    float m_dRatio = 1;
    QString m_strID;
    QString m_strName;
    QString m_strTitle;
    qint64 m_iCount = 0;
    Block m_blkAdd;
    MouseBlock m_blkDown, m_blkDrag, m_blkUp;
    DropBlock m_blkDrop;
    HLSortGeometry::DropCell m_dropCell;
    QPushButton *m_btnAdd = nullptr;
    QFont m_font;
};
