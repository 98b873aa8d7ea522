#pragma once

#include <QStringList>

class QWidget;

// Tells the user which files an import left out and why ("<file name>: <reason>" each), in
// a window-modal message on window. Nothing is shown when nothing was left out.
void hl_reportSkippedFiles(QWidget *window, const QStringList &skipped);
