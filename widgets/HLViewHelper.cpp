#include "widgets/HLViewHelper.h"

#include <QApplication>
#include <QWidget>

QImage hlSnapshot(QWidget *view)
{
    if (!view)
        return {};
    return view->grab().toImage();
}

bool hlCanDrop(const QWidget *view)
{
    if (!view)
        return false;
    // A sheet is a window-modal dialog, so it is the active modal widget while shown.
    const QWidget *modal = QApplication::activeModalWidget();
    return !modal || modal == view->window();
}
