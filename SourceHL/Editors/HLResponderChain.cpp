#include "SourceHL/Editors/HLResponderChain.h"

#include <QKeyEvent>
#include <QWidget>

HLResponderChain::HLResponderChain(QObject *controller, QWidget *view, KeyHandler handler)
    : QObject(controller)
    , m_view(view)
    , m_handler(std::move(handler))
{
    view->installEventFilter(this);
}

HLResponderChain *HLResponderChain::hlAdjustResponderChain(QObject *controller, QWidget *view, KeyHandler handler)
{
    for (HLResponderChain *chain : controller->findChildren<HLResponderChain *>(Qt::FindDirectChildrenOnly))
        if (chain->m_view == view)
            return chain;
    return new HLResponderChain(controller, view, std::move(handler));
}

// A key the focused control ignored travels up to the view; the controller comes next.
bool HLResponderChain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress && m_handler)
        return m_handler(static_cast<QKeyEvent *>(event));
    return QObject::eventFilter(watched, event);
}
