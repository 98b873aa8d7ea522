#pragma once

#include "SourceHL/Control/HLSheet.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

#include <atomic>
#include <functional>

// The shared progress sheet: a bar and "done/all" while media is imported, and a Cancel
// button when the import can be stopped. The counters
// are written at once on the caller's thread (any thread); the window work runs on the
// main thread in call order, each call showing the values it was made with. Posts the same two notifications as the busy sheet.
class HLProgressWndCtrl
{
public:
    // The bar's range; its value is the done fraction of it.
    static constexpr int kBarRange = 1000;

    static HLProgressWndCtrl &sharedProgressWndCtrl();

    // cancel (optional) runs on the main thread when the user presses Cancel; the button is
    // shown only with one, and pressed once it stays disabled until the next start.
    void startProgress(quint64 count, QWidget *window, std::function<void()> cancel = {});
    void updateProgress(qint64 index);
    void stopProgress();

    quint64 iIndex() const { return m_iIndex; }
    quint64 iCount() const { return m_iCount; }

    // Main thread: the sheet, its bar and its label, made on the first showing.
    HLSheet *window() const { return m_window; }
    QPushButton *btnCancel() const { return m_btnCancel; }

private:
    HLProgressWndCtrl() = default;
    void p_makeWindow();
    void p_updateUI(quint64 index, quint64 count);

    std::atomic<quint64> m_iIndex{0};
    std::atomic<quint64> m_iCount{0};
    QPointer<HLSheet> m_window;
    QPointer<QProgressBar> m_vProgress;
    QPointer<QLabel> m_tldProgress;
    QPointer<QPushButton> m_btnCancel;
    std::function<void()> m_blkCancel; // main thread
};
