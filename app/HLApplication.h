#pragma once

#include <QApplication>

#include <functional>

// The program's application object. An internal consistency failure (HL_ASSERT) raised
// while an event or a queued job is handled stops only that action: the failure is
// reported in an alert and the program goes on.
class HLApplication : public QApplication
{
    Q_OBJECT
public:
    using FailureReport = std::function<void(const QString &message)>;

    HLApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // How a failure is shown; by default an alert over the active window, after the
    // failed event has unwound.
    void setFailureReport(const FailureReport &report) { m_report = report; }
    static void showFailureAlert(const QString &message);

private:
    FailureReport m_report;
};
