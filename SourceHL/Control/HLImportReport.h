#pragma once

#include <QStringList>

class QWidget;

// Tells the user which files an import left out and which it took with a fault ("<file
// name>: <reason>" each), in a window-modal message on window. Nothing is shown when every
// file was taken whole.
void hl_reportImport(QWidget *window, const QStringList &skipped, const QStringList &warned);
