#pragma once

#include "SourceHL/Control/HLSheet.h"

#include <QPointer>

// The shared busy sheet: a spinner that blocks a window while open, save or the first
// phase of an import runs. Start and stop may be called from any thread; the window work
// runs on the main thread in call order. Posts "HLWindowStartBusyingNotification" when
// shown and "HLWindowStopBusyingNotification" when taken down.
class HLBusyWndCtrl
{
public:
    static HLBusyWndCtrl &sharedBusyWndCtrl();

    void startBusingOn(QWidget *window);
    void stopBusing();

    // Main thread: the sheet and its spinner, made on the first showing.
    HLSheet *window() const { return m_window; }

private:
    HLBusyWndCtrl() = default;
    void p_makeWindow();

    QPointer<HLSheet> m_window;
};
