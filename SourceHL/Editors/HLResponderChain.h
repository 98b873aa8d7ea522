#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

// The pane controller behind its view in the key chain: key presses that the view and its
// controls leave unaccepted reach the controller's handler (which accepts what it takes).
// Installing it again for the same view and controller changes nothing.
class HLResponderChain : public QObject
{
    Q_OBJECT
public:
    using KeyHandler = std::function<bool(QKeyEvent *event)>;
    static HLResponderChain *hlAdjustResponderChain(QObject *controller, QWidget *view, KeyHandler handler);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    HLResponderChain(QObject *controller, QWidget *view, KeyHandler handler);
    QWidget *m_view;
    KeyHandler m_handler;
};
