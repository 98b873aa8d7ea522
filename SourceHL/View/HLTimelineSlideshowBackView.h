#pragma once

#include "SourceHL/View/UIHashableProtocol.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class QMouseEvent;

// The row of one slideshow item on the strip: its cells side by side under a caption band
// (template, count, duration). It takes dropped files and cells dragged inside the strip,
// marks the gap between cells a drop goes to, and hands presses and drops to its controller.
class HLTimelineSlideshowBackView : public QWidget, public UIHashableProtocol
{
    Q_OBJECT
public:
    using DownBlock = std::function<void(QWidget *view, QMouseEvent *event)>;
    // The row, the gap index, the dropped files (empty for cells dragged inside the strip).
    using DropBlock = std::function<void(HLTimelineSlideshowBackView *view, qint64 index, const QStringList &paths)>;

    // Nothing for an empty SSID.
    static HLTimelineSlideshowBackView *backViewOf(const QString &ssid);

    void setUpMouseDown(DownBlock down, DropBlock drop);
    void updateName(const QString &name, float duration, qint64 count);

    bool bIsChosen() const { return m_bIsChosen; }
    void setBIsChosen(bool chosen);
    qint64 iDropIndex() const { return m_iDropIndex; }
    void setIDropIndex(qint64 index);
    QString strID() const { return m_strID; }
    QString strName() const { return m_strName; }
    QString strTitle() const { return m_strTitle; }
    QString UIHashID() const override { return m_strID; }
    // The cells, left to right.
    QList<QWidget *> cellViews() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    explicit HLTimelineSlideshowBackView(const QString &ssid);
    bool p_dragUpdated(QDropEvent *event);

    bool m_bIsChosen = false;
    QString m_strID;
    QString m_strName;
    QString m_strTitle;
    DownBlock m_blkDown;
    DropBlock m_blkDrop;
    qint64 m_iDropIndex = -1;
};
