#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QMouseEvent;

// The cell of one title on the text line: its text beside the head picture, whether it is
// chosen; it hands its mouse events to the text line controller and is the source of the
// drag and drop the controller starts.
class HLTextItemView : public QWidget
{
    Q_OBJECT
public:
    using MouseBlock = std::function<void(HLTextItemView *view, QMouseEvent *event)>;

    // Null for an empty identifier. The controller sets the frame.
    static HLTextItemView *textlineItemViewOf(const QString &ttid, QWidget *parent = nullptr);

    void update(const QString &content);
    QString strID() const { return m_strID; }
    QString UIHashID() const { return m_strID; }
    bool bIsChosen() const { return m_bIsChosen; }
    void setBIsChosen(bool chosen);
    // The span on the line in points, kept exact; the widget sits on the nearest pixels.
    QRectF frame() const { return m_frame; }
    void setFrame(const QRectF &frame);
    void setUpMouseDown(MouseBlock down, MouseBlock drag, MouseBlock up);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    explicit HLTextItemView(const QString &ttid, QWidget *parent);

    bool m_bIsChosen = false;
    bool m_bDidDown = false; // a press reached this cell and its release has not yet
    QString m_strID;
    QString m_strContent;
    QRectF m_frame;
    MouseBlock m_blkDown;
    MouseBlock m_blkDrag;
    MouseBlock m_blkUp;
};
