#pragma once

#include "SourceHL/View/UIHashableProtocol.h"

#include <QWidget>

#include <functional>

class QMouseEvent;

// The tile of the transition after a slideshow item: an orange panel titled with the
// transition's name and duration, holding the cell of its template's thumbnail.
class HLTimelineTransitionBackView : public QWidget, public UIHashableProtocol
{
    Q_OBJECT
public:
    using MouseBlock = std::function<void(QWidget *view, QMouseEvent *event)>;

    // Nothing for an empty identifier (the SSID of the item the transition follows).
    static HLTimelineTransitionBackView *backViewOf(const QString &ssid);

    void updateName(const QString &name, float duration);
    void setUpMouseDown(MouseBlock down) { m_blkDown = std::move(down); }

    bool bIsChosen() const { return m_bIsChosen; }
    void setBIsChosen(bool chosen);
    QString strID() const { return m_strID; }
    QString strName() const { return m_strName; }
    QString strTitle() const { return m_strTitle; }
    QString UIHashID() const override { return m_strID; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    explicit HLTimelineTransitionBackView(const QString &ssid);

    bool m_bIsChosen = false;
    QString m_strID;
    QString m_strName;
    QString m_strTitle;
    MouseBlock m_blkDown;
};
