#include "SourceHL/Common/HLEventHelper.h"

#include <QKeyEvent>
#include <QMouseEvent>

bool hlIsClickSingle(const QMouseEvent &event)
{
    return event.type() == QEvent::MouseButtonPress;
}

bool hlIsClickDouble(const QMouseEvent &event)
{
    return event.type() == QEvent::MouseButtonDblClick;
}

bool hlIsMaskCommand(const QInputEvent &event)
{
    return event.modifiers().testFlag(Qt::ControlModifier);
}

bool hlIsMaskShift(const QInputEvent &event)
{
    return event.modifiers().testFlag(Qt::ShiftModifier);
}

bool hlIsKeyDelete(const QKeyEvent &event)
{
    return event.key() == Qt::Key_Backspace;
}

bool hlIsKeyLeft(const QKeyEvent &event)
{
    return event.key() == Qt::Key_Left;
}

bool hlIsKeyRight(const QKeyEvent &event)
{
    return event.key() == Qt::Key_Right;
}

bool hlIsKeyDown(const QKeyEvent &event)
{
    return event.key() == Qt::Key_Down;
}

bool hlIsKeyUp(const QKeyEvent &event)
{
    return event.key() == Qt::Key_Up;
}
