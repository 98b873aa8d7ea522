#pragma once

class QDialog;
class QString;
class QVBoxLayout;
class QWidget;

// The frame the settings and output-size dialogs share: an application-modal window with the
// title bar on top and the grey back below, whose padded column holds the dialog's rows.
struct HLDialogFrame
{
    QDialog *window;
    QWidget *back;
    QVBoxLayout *rows;
};

HLDialogFrame hl_makeDialogFrame(const QString &title);
