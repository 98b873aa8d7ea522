#pragma once

#include <QStringList>

class QWidget;

// The open panel of the Add commands: several existing files, window-modal on window, its
// button "Add". Gives the chosen files; empty when the user cancelled.
QStringList hl_runAddPanel(QWidget *window);
