#pragma once

#include <QEvent>
#include <QImage>

class QObject;
class QWidget;

// The widget as it is drawn now, at the size of its bounds.
QImage hlSnapshot(QWidget *view);
// Whether the view may take a drop or a command now: no sheet on its window and no other
// window modal.
bool hlCanDrop(const QWidget *view);
// Whether an event filter's event is a resize of the scroll area's viewport (area: a pointer or
// a QPointer to it). The filter also sees the viewport's last events while the scroll area is
// being destroyed, when the area must not be touched, not even cast: the type is looked at first.
template <class ScrollArea>
bool hlIsViewportResize(const ScrollArea &area, const QObject *watched, const QEvent *event)
{
    return event->type() == QEvent::Resize && area && watched == area->viewport();
}
