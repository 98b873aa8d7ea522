#pragma once

#include <QImage>

class QWidget;

// The widget as it is drawn now, at the size of its bounds.
QImage hlSnapshot(QWidget *view);
// Whether the view may take a drop or a command now: no sheet on its window and no other
// window modal.
bool hlCanDrop(const QWidget *view);
