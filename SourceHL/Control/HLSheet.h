#pragma once

#include <QDialog>
#include <QPointer>

// The small dark window both shared sheets show: window-modal on the window it blocks,
// re-attached to whichever window the next showing names. Showing it posts
// "HLWindowStartBusyingNotification", taking it down "HLWindowStopBusyingNotification".
class HLSheet : public QDialog
{
    Q_OBJECT
public:
    HLSheet();
    // Main thread: attaches to window and shows window-modal.
    void showOn(QWidget *window);
    // Main thread: hides and detaches.
    void takeDown();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
